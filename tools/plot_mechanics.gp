# Pictures of the mechanical results of a finished run (PNG files, no display).
#
#   make plot-mechanics RUN=run/al-cu-ageing-tensile-20250101-120000 STRAIN=tensile
#   gnuplot -e "run='DIR'; strain='tensile'" tools/plot_mechanics.gp
#
# Reads the strength file of one node (thermo stem + "Mechanic_" + node) and,
# when a hardening law ran, its stress response (strain stem + "_node" +
# node) in the folder `run`, and writes yield_strength.png (the yield
# strength of the microstructure and its contributions versus time) and
# stress_strain.png (stress versus total strain along the strain history).
#
# Optional settings (-e "name=value; ..."):
#   node=0                      the node whose files are drawn
#   thermo='resultsThermo'      stem of savethermodynamics
#   strain='...'                first argument of strainLoad (no stress-strain picture without it)
#   out='DIR/'                  prefix of the picture names (default: the run folder)

if (!exists("run")) {
    print "Name the run folder: gnuplot -e \"run='DIR'\" tools/plot_mechanics.gp"
    exit status 1
}
if (!exists("node")) node = 0
if (!exists("thermo")) thermo = "resultsThermo"
if (!exists("out")) out = run . "/"

strengthFile = sprintf("%s/%sMechanic_%d.dat", run, thermo, node)
# The column titles follow two or three header lines (three with precipitates).
titleLine = int(system(sprintf("grep -n '^t\\[s\\]' '%s' | head -n 1 | cut -d: -f1", strengthFile)))
if (titleLine < 1) {
    print sprintf("%s is not a mechanical results file", strengthFile)
    exit status 1
}

set terminal pngcairo size 720,450 font ",10" linewidth 1.5
set key top left
set grid

set output out . "yield_strength.png"
set title "Yield strength of the microstructure"
set xlabel "Time (s)"
set ylabel "Stress (MPa)"
set logscale x
set format x "10^{%T}"
# Columns: 4 dislocations, 5 solid solution, 7 precipitates, 8 yield strength.
plot strengthFile skip titleLine u 1:8 w l lw 2.5 lc rgb "black" t "yield strength", \
     strengthFile skip titleLine u 1:7 w l lw 2 lc 1 t "precipitates", \
     strengthFile skip titleLine u 1:5 w l lw 2 lc 2 t "solid solution", \
     strengthFile skip titleLine u 1:4 w l lw 2 lc 3 t "dislocations"

if (exists("strain")) {
    responseFile = sprintf("%s/%s_node%d.dat", run, strain, node)
    set output out . "stress_strain.png"
    set title "Stress along the strain history"
    set xlabel "Total strain"
    set ylabel "Stress (MPa)"
    unset logscale x
    set format x "%g"
    set key bottom right
    # Laws 1 to 8 write the yield strength of the microstructure in column 4.
    if (word(system(sprintf("head -n 1 '%s'", responseFile)), 4) eq "yield[MPa]") {
        plot responseFile skip 1 u 2:3 w lp lw 2 pt 7 ps 0.5 lc rgb "black" t "stress", \
             responseFile skip 1 u 2:4 w l dt 2 lw 1.5 lc 1 t "yield strength of the microstructure"
    } else {
        plot responseFile skip 1 u 2:3 w lp lw 2 pt 7 ps 0.5 lc rgb "black" t "stress"
    }
}
unset output
