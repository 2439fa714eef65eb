#!/bin/sh
# Builds the VORN.DAT loader's fuzz target with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs it for a bounded time over the committed
# seed corpus. Usage: run_fuzz.sh <source dir> <build dir> [seconds]
set -eu
source_dir=$1
build_dir=$2
seconds=${3:-25}

mkdir -p "$build_dir/corpus" "$build_dir/artifacts"
sanitize="-fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all"
# The game record comes from the engine and is built without -Werror, so that
# a warning only clang gives in another area's file cannot stop this run.
clang++ -std=c++20 -g -O1 $sanitize -I"$source_dir" -c "$source_dir/engine/game_state.cpp" \
  -o "$build_dir/game_state.o"
clang++ -std=c++20 -g -O1 -Wall -Wextra -Werror $sanitize -I"$source_dir" \
  "$source_dir/tests/scores/fuzz/high_score_file_fuzz.cpp" \
  "$source_dir/tests/scores/fuzz/fuzz_platform.cpp" \
  "$source_dir/scores/high_score_file.cpp" \
  "$source_dir/scores/high_score_table.cpp" \
  "$source_dir/frontends/posix/file_store.cpp" \
  "$source_dir/frontends/posix/posix_files.cpp" \
  "$build_dir/game_state.o" \
  -o "$build_dir/high_score_file_fuzz"

# New inputs go to the build directory's corpus; the committed seeds are read only.
exec "$build_dir/high_score_file_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=8192 -dict="$source_dir/tests/scores/fuzz/vorn.dict" -print_final_stats=1 -artifact_prefix="$build_dir/artifacts/" \
  "$build_dir/corpus" "$source_dir/tests/scores/fuzz/corpus"
