// Result codes of the platform calls: 32-bit signed, negative means failure. Published values.
#pragma once
#include <cstdint>

using HRESULT = int32_t;

constexpr HRESULT MakeResult(uint32_t value) { return static_cast<HRESULT>(value); }
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

constexpr HRESULT S_OK = MakeResult(0x00000000);
constexpr HRESULT S_FALSE = MakeResult(0x00000001);
constexpr HRESULT D3D_OK = MakeResult(0x00000000);
constexpr HRESULT E_FAIL = MakeResult(0x80004005);
constexpr HRESULT E_INVALIDARG = MakeResult(0x80070057);
constexpr HRESULT E_OUTOFMEMORY = MakeResult(0x8007000E);
constexpr HRESULT CO_E_NOTINITIALIZED = MakeResult(0x800401F0);
constexpr HRESULT D3DERR_INVALIDCALL = MakeResult(0x8876086C);
constexpr HRESULT D3DERR_NOTAVAILABLE = MakeResult(0x8876086A);
constexpr HRESULT D3DERR_DEVICELOST = MakeResult(0x88760868);
constexpr HRESULT DS_NO_VIRTUALIZATION = MakeResult(0x0878000A);
constexpr HRESULT DSERR_BUFFERLOST = MakeResult(0x88780096);
constexpr HRESULT DSERR_NODRIVER = MakeResult(0x88780078);
constexpr HRESULT DSERR_BADFORMAT = MakeResult(0x88780064);
constexpr HRESULT DSERR_INVALIDPARAM = MakeResult(0x80070057);
constexpr HRESULT DSERR_UNINITIALIZED = MakeResult(0x887800AA);
constexpr HRESULT DSERR_INVALIDCALL = MakeResult(0x88780032);
constexpr HRESULT DSERR_CONTROLUNAVAIL = MakeResult(0x8878001E);
constexpr HRESULT DSERR_PRIOLEVELNEEDED = MakeResult(0x88780046);
