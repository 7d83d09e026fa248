# What the Xvfb benchmarks share for their figures: a process's CPU time and the median of a column.
# Source it; needs bash.

# CPU seconds (user + system) process $1 has used so far.
cpu_seconds() { awk -v hz="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / hz }' "/proc/$1/stat"; }

# The median of the numbers on standard input, one a line.
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
