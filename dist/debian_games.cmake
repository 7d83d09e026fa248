# Run by cpack on the staged tree just before it packs the Debian package: Debian keeps the programs of
# games in /usr/games, so the launcher and the level checker move there. The launcher reaches the game and
# its data by paths relative to itself, and those stay the same one level below /usr.
set(staged "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
file(MAKE_DIRECTORY "${staged}/games")
file(RENAME "${staged}/bin/vems" "${staged}/games/vems")
file(RENAME "${staged}/bin/vems-levelcheck" "${staged}/games/vems-levelcheck")
file(REMOVE_RECURSE "${staged}/bin")
