# Pictures of a finished run, drawn without a display (PNG files).
#
#   make plot RUN=run/al-sc-20250101-120000
#   gnuplot -e "run='run/al-sc-20250101-120000'" tools/plot_run.gp
#
# Reads the thermodynamic results file and the distribution files of one node
# in the folder `run` and writes six pictures: radius.png (mean and critical
# radius), number_density.png, volume_fraction.png, solute.png (solid-solution
# content of every solute), classes.png (number of size classes), all versus
# time, and distribution.png (the last size distribution of every phase).
#
# Optional settings (-e "name=value; ..."):
#   node=0                      the node whose files are drawn
#   thermo='resultsThermo'      stem of savethermodynamics
#   distrib='distribution'      stem of savedistribution
#   out='DIR/'                  prefix of the picture names (default: the run folder)

if (!exists("run")) {
    print "Name the run folder: gnuplot -e \"run='DIR'\" tools/plot_run.gp"
    exit status 1
}
if (!exists("node")) node = 0
if (!exists("thermo")) thermo = "resultsThermo"
if (!exists("distrib")) distrib = "distribution"
if (!exists("out")) out = run . "/"

thermoFile = sprintf("%s/%s_%d.dat", run, thermo, node)
headerLine(i) = system(sprintf("sed -n %dp '%s'", i, thermoFile))
elementLine = headerLine(1)
phaseLine = headerLine(2)
if (strstrt(elementLine, "Elements:") != 1) {
    print sprintf("%s is not a thermodynamic results file", thermoFile)
    exit status 1
}

# Column layout: t, dt, T; one column per element (two with heavyOuputs:
# atomic fraction, then weight percent); five per phase (mean radius,
# critical radius, volume fraction, number density, class count).
elementCount = words(elementLine) - 1
phaseCount = strstrt(phaseLine, "Precipitates:") > 0 ? words(phaseLine) - 1 : 0
perElement = strstrt(headerLine(3), "C_wtPer_") > 0 ? 2 : 1
elementName(j) = word(elementLine, j + 1)
phaseName(k) = word(phaseLine, k + 1)
elementColumn(j) = 4 + perElement * (j - 1)
phaseColumn(k, offset) = 4 + perElement * elementCount + 5 * (k - 1) + offset

set terminal pngcairo size 720,450 font ",10" linewidth 1.5
set key top left
set grid
set xlabel "Time (s)"
set logscale x
set format x "10^{%T}"
set format y "10^{%T}"

set output out . "radius.png"
set title "Mean and critical radius"
set ylabel "Radius (m)"
set logscale y
plot for [k=1:phaseCount] thermoFile skip 3 u 1:phaseColumn(k, 0) w l lw 2 lc k t phaseName(k) . " <R>" noenhanced, \
     for [k=1:phaseCount] thermoFile skip 3 u 1:phaseColumn(k, 1) w l dt 2 lc k t phaseName(k) . " R*" noenhanced

set output out . "number_density.png"
set title "Number density of precipitates"
set ylabel "Number density (m^{-3})"
plot for [k=1:phaseCount] thermoFile skip 3 u 1:phaseColumn(k, 3) w l lw 2 lc k t phaseName(k) noenhanced

set output out . "volume_fraction.png"
set title "Precipitate volume fraction"
set ylabel "Volume fraction"
unset logscale y
set format y "%g"
plot for [k=1:phaseCount] thermoFile skip 3 u 1:phaseColumn(k, 2) w l lw 2 lc k t phaseName(k) noenhanced

set output out . "solute.png"
set title "Solute content of the solid solution"
set ylabel "Atomic fraction"
set logscale y
set format y "10^{%T}"
# The last element is the matrix.
plot for [j=1:elementCount - 1] thermoFile skip 3 u 1:elementColumn(j) w l lw 2 lc j t elementName(j) noenhanced

set output out . "classes.png"
set title "Number of size classes"
set ylabel "Classes"
unset logscale y
set format y "%g"
plot for [k=1:phaseCount] thermoFile skip 3 u 1:phaseColumn(k, 4) w l lw 2 lc k t phaseName(k) noenhanced

# The last record of a distribution file is three lines with the same number
# of values: R* then the radii; t then the number densities; t then the
# number densities per unit radius. Each phase becomes one data set.
set print $DISTRIBUTION
recordTime = ""
do for [k=1:phaseCount] {
    record = system(sprintf("tail -n 3 '%s/%s%s_%d.dat'", run, distrib, phaseName(k), node))
    classes = words(record) / 3 - 1
    recordTime = word(record, classes + 2)
    do for [i=1:classes] {
        print sprintf("%s %s", word(record, 1 + i), word(record, 2 * (classes + 1) + 1 + i))
    }
    print ""
    print ""
}
set print

set output out . "distribution.png"
set title sprintf("Size distribution at t = %s s", recordTime)
unset logscale x
set format x "%g"
set xlabel "Radius (nm)"
set ylabel "Number density per unit radius (m^{-4})"
set xrange [0:*]
plot for [k=1:phaseCount] $DISTRIBUTION index (k - 1) u ($1 * 1e9):2 w lp lw 2 pt 7 ps 0.6 lc k t phaseName(k) noenhanced
unset output
