# The TTP diagram of a finished run of this example, as a PNG picture:
# for every node, the times at which its volume fraction of Al3Sc reaches
# 5 % and 50 % of its final value, against the node's temperature.
#
#   gnuplot -e "run='DIR'" examples/ttp-al-sc/ttp.gp
#
# Optional settings (-e "name=value; ..."):
#   run='.'             the folder of the run (its resultsThermo_<node>.dat)
#   nodes=81            the number of nodes
#   out='<run>/ttp.png' the picture
#
# The results files have three header lines, one element (Sc, then the matrix Al) and one phase,
# so the columns are: 1 time (s), 3 temperature (K), 8 volume fraction.
# A crossing time is interpolated between the two records around it,
# linearly in the logarithm of the time, as the records are evenly spaced
# on that scale.

if (!exists("run")) run = "."
if (!exists("nodes")) nodes = 81
if (!exists("out")) out = run . "/ttp.png"

timeColumn = 1
temperatureColumn = 3
volumeFractionColumn = 8

thermoFile(node) = sprintf("%s/resultsThermo_%d.dat", run, node)

# The time at which the records of a file pass `level`, given the previous
# record (previousTime, previousValue) and the current one (t, v).
crossing(level, t, v) = previousTime <= 0 ? t : \
    exp(log(previousTime) + (level - previousValue) / (v - previousValue) * (log(t) - log(previousTime)))

set print $TTP
do for [node = 0:nodes - 1] {
    file = thermoFile(node)
    # The last record's volume fraction, and the temperature of the first.
    stats file skip 3 using (temperature = column(temperatureColumn), 0) every ::0::0 nooutput
    stats file skip 3 using (final = column(volumeFractionColumn), 0) nooutput
    do for [share in "0.05 0.5"] {
        level = share * final
        reached = NaN
        previousTime = 0
        previousValue = 0
        stats file skip 3 using ( \
            (reached != reached && column(volumeFractionColumn) >= level) ? \
                reached = crossing(level, column(timeColumn), column(volumeFractionColumn)) : 0, \
            previousTime = column(timeColumn), previousValue = column(volumeFractionColumn), 0) nooutput
        if (share == 0.05) { time5 = reached } else { time50 = reached }
    }
    print sprintf("%g %g %g %g", temperature - 273.15, time5, time50, final)
}
unset print

set terminal pngcairo size 720,540 font ",11" linewidth 1.5
set output out
set title "Al - 0.2 wt% Sc: time to 5 % and 50 % of the final volume fraction of Al_3Sc"
set logscale x
set format x "10^{%L}"
set xlabel "Time (s)"
set ylabel "Temperature (°C)"
set grid
set yrange [240:460]
set key top right
plot $TTP using 2:1 with linespoints pointtype 7 pointsize 0.6 title "5 %", \
     $TTP using 3:1 with linespoints pointtype 5 pointsize 0.6 title "50 %"
set output
print sprintf("The TTP diagram of %d nodes is %s", nodes, out)
