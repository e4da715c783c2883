# Thin wrapper around CMake/Ninja. `make run` and `make test` are all a newcomer needs.
EXAMPLE ?= al-sc
BUILD_DIR := build
ASAN_DIR := build-asan
BENCH_DIR := build-bench
MPI_DIR := build-mpi
JOBS ?= $(shell nproc)

.PHONY: all build run test golden asan bench plot plot-mechanics clean mpi mpi-test mpi-bench

all: build

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release

build: $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@dir=run/$(EXAMPLE)-$$(date +%Y%m%d-%H%M%S); \
	mkdir -p $$dir && cp $$(ls -d examples/$(EXAMPLE)/* | grep -v -e README.md -e '\.png$$') $$dir/ && \
	cd $$dir && ../../$(BUILD_DIR)/ostrel; status=$$?; \
	echo "Results of the example '$(EXAMPLE)' are in $$dir"; exit $$status

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# Replaces the expected files of every golden case (tests/golden) by what the
# current build writes; commit the resulting diff with the change that caused it.
golden: build
	OSTREL_REGENERATE_GOLDEN=1 $(BUILD_DIR)/ostrel_tests --gtest_filter='Cases/GoldenResults.*'

$(ASAN_DIR)/build.ninja:
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTREL_SANITIZE=ON

asan: $(ASAN_DIR)/build.ninja
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
		ctest --output-on-failure -j $(JOBS)

# The program over MPI processes (needs libopenmpi-dev): build-mpi/ostrel,
# run as `mpirun -np P build-mpi/ostrel [-path DIR/] [-file NAME]`.
$(MPI_DIR)/build.ninja:
	cmake -S . -B $(MPI_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DOSTREL_MPI=ON

mpi: $(MPI_DIR)/build.ninja
	cmake --build $(MPI_DIR) -j $(JOBS)

# Its tests run mpirun with 1, 2 and 3 processes (oversubscribed).
mpi-test: mpi
	cd $(MPI_DIR) && ctest --output-on-failure -j $(JOBS)

# Wall time of whole runs over 1 and 2 processes, and the global steps of
# connected nodes over 1 and 2 processes (figures in bench/README.md).
MPIRUN_FLAGS := --oversubscribe $(if $(filter 0,$(shell id -u)),--allow-run-as-root)
mpi-bench: $(MPI_DIR)/build.ninja
	cmake -S . -B $(MPI_DIR) -DOSTREL_BENCH=ON
	cmake --build $(MPI_DIR) -j $(JOBS) --target bench_processes bench_lockstep
	$(MPI_DIR)/bench_processes
	mpirun $(MPIRUN_FLAGS) -np 1 $(MPI_DIR)/bench_lockstep
	mpirun $(MPIRUN_FLAGS) -np 2 $(MPI_DIR)/bench_lockstep

$(BENCH_DIR)/build.ninja:
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DOSTREL_TESTS=OFF -DOSTREL_BENCH=ON

bench: $(BENCH_DIR)/build.ninja
	cmake --build $(BENCH_DIR) -j $(JOBS)
	@for b in $(BENCH_DIR)/bench_*; do echo "== $$b"; $$b; done

# Pictures of a finished run: make plot RUN=run/al-sc-... [NODE=0] [OUT=prefix]
# [THERMO=stem] [DISTRIB=stem]; see tools/plot_run.gp.
NODE ?= 0
OUT ?= $(RUN)/
plot:
	@test -n "$(RUN)" || { echo "usage: make plot RUN=<run folder> [NODE=0] [OUT=prefix]"; exit 2; }
	gnuplot -e "run='$(RUN)'; node=$(NODE); out='$(OUT)'$(if $(THERMO),; thermo='$(THERMO)')$(if $(DISTRIB),; distrib='$(DISTRIB)')" tools/plot_run.gp
	@echo "Pictures of $(RUN) are $(OUT)*.png"

# Pictures of the mechanical results: make plot-mechanics RUN=run/... [STRAIN=stem]
# [NODE=0] [OUT=prefix] [THERMO=stem]; see tools/plot_mechanics.gp.
plot-mechanics:
	@test -n "$(RUN)" || { echo "usage: make plot-mechanics RUN=<run folder> [STRAIN=stem] [NODE=0] [OUT=prefix]"; exit 2; }
	gnuplot -e "run='$(RUN)'; node=$(NODE); out='$(OUT)'$(if $(THERMO),; thermo='$(THERMO)')$(if $(STRAIN),; strain='$(STRAIN)')" tools/plot_mechanics.gp
	@echo "Pictures of $(RUN) are $(OUT)*.png"

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(BENCH_DIR) $(MPI_DIR)
