#!/usr/bin/env bash
# Builds the libFuzzer targets of the field file reader, of the importer, of
# the 3DS toolkit's database reader, of the 3DS, DXF and OBJ readers, of the
# 3DS writer (on what the 3DS reader reads), of the COLLADA reader and of the
# TIFF image reader with clang (address and undefined-behaviour sanitizers on)
# and runs them side by side for a while.
#   scripts/fuzz.sh [seconds]     per target, default 60
# Needs clang and its fuzzer runtime (Debian: clang, libclang-rt-14-dev).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ not found; skipped"
  exit 0
fi

build=${QALIMOR_FUZZ_BUILD:-build/fuzz}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" -DCMAKE_C_FLAGS_DEBUG="-g1 -O1" \
      -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" -DQALIMOR_SANITIZE=ON \
      -DQALIMOR_FUZZ=ON -DQALIMOR_TESTS=OFF -DQALIMOR_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target fbx_fieldfile_fuzz fbx_importer_fuzz fbx_importer_fuzz_seeds \
  ftk3ds_database_fuzz reader3ds_fuzz reader3ds_fuzz_seeds readerdxf_fuzz readerobj_fuzz writer3ds_fuzz \
  collada_reader_fuzz collada_writer_fuzz tiff_image_fuzz tiff_image_fuzz_seeds

corpus="$build/fieldfile-corpus"
mkdir -p "$corpus"
# Seeds: a little of each input kind, so the fuzzer starts past the first checks.
printf '\001FBXHeaderExtension:  {\n\tFBXVersion: 6100\n}\nItem: 1,2.5,"x" {\n\tKey: a,-1\n}\n' >"$corpus/ascii"
printf '\003FBXHeaderExtension:  {\n}\na: {\n}\n' >"$corpus/asciifile"
# The forms other writers use: values on the lines after the colon, comma-led
# continuation lines, CR LF, entities in strings, Windows paths, bare words.
printf '\001Key: \n\t1,2,3\n,4,5\n; note\n\t,6\nS: "a&quot;b&lf;&cr;","C:\\new\\t&co.tga",Y\nA:  {\n\tEmpty:\n}\n' \
  >"$corpus/asciiforms"
printf '\003; FBX 6.1.0 project file\r\nFBXHeaderExtension:  {\r\n\tFBXVersion: 6100\r\n}\r\nModel: "Model::a&quot;b", "Mesh" {\r\n\tVertices: \r\n1,2,3\r\n,4,5,6\r\n\tShading: Y\r\n\tKey: \r\n0,1,L\r\n,2,3,C,n\r\n}\r\n' \
  >"$corpus/asciiforeign"
# Cut short: a dangling comma at the end, a colon with no values before a
# closing brace, an entity cut short, a lone '&'.
printf '\001Item: 1 {\n\tKey:\n}\nS: "&quo","&",x\nV: 1,2,' >"$corpus/asciicut"
# A fault that a beginning of the text already shows, after what reads on
# past a cut: values on the next line, a string over lines, a comma-led line.
printf '\001A:\n\t1,"2\n3"\n; c\n,3\nB: {\n}\n}\nC: 4\n' >"$corpus/asciibeginning"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Starts a target of a library's folder for the time asked, on a corpus, with
# any further libFuzzer flags, beside the others (each fuzzer runs on one
# core), its output in a log of its own:  fuzz LIBRARY/TARGET CORPUS [FLAG...]
running=()
fuzz() {
  local target=$1 corpus=$2
  shift 2
  "$build/fbxfilesdk/$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 "$@" "$corpus" \
    >"$build/$(basename "$target").log" 2>&1 &
  running+=("$!:$(basename "$target")")
}
fuzz fbx/fbx_fieldfile_fuzz "$corpus"

# The importer's first input byte picks plain, trailer-fixed or password mode;
# the seeds are the small files the writer tests keep, and a small FBX 5
# scene in both forms.
importer_corpus="$build/importer-corpus"
mkdir -p "$importer_corpus"
for golden in tests/fbx/golden/*.fbx; do
  for mode in 0 1; do
    { printf "\\$(printf '%03o' "$mode")"; cat "$golden"; } >"$importer_corpus/$mode-$(basename "$golden")"
  done
done
"$build/fbxfilesdk/fbx/fbx_importer_fuzz_seeds" "$importer_corpus"
# Small files of the records that take memory by their counts: weighted
# maps, shapes, deep and wide hierarchies.
fbx6_head='; FBX 6.1.0 project file\nFBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: 6100\n}\n'
printf "\000$fbx6_head"'Objects:  {\n\tGeometryWeightedMap: "GeometryWeightedMap::W", "" {\n\t\tVersion: 100\n\t\tSourceCount: 1073741824\n\t\tDestinationCount: 2000000000\n\t\tIndexMapping: 5,2,7,0.25,1999999999,0.75\n\t\tIndexMapping: 3,1,0,1\n\t}\n}\n' \
  >"$importer_corpus/0-weightedmap"
{
  printf "\000$fbx6_head"'Objects:  {\n\tModel: "Model::Face", "Mesh" {\n\t\tVertices: 0,0,0,1,0,0,1,1,0,0,1,0\n\t\tPolygonVertexIndex: 0,1,2,-4\n'
  for s in 0 1 2 3 4 5 6 7; do
    printf '\t\tShape: "S%d" {\n\t\t\tIndexes: %d\n\t\t\tVertices: 0,0,1\n\t\t\tNormals: 0,1,0\n\t\t}\n' "$s" "$((s % 4))"
  done
  printf '\t}\n}\nConnections:  {\n\tConnect: "OO", "Model::Face", "Model::Scene"\n}\n'
} >"$importer_corpus/0-shapes"
{
  printf "\000$fbx6_head"'Objects:  {\n'
  for n in $(seq 0 63); do printf '\tModel: "Model::N%d", "Null" {\n\t}\n' "$n"; done
  printf '}\nConnections:  {\n\tConnect: "OO", "Model::N0", "Model::Scene"\n'
  for n in $(seq 1 63); do printf '\tConnect: "OO", "Model::N%d", "Model::N%d"\n' "$n" "$((n - 1))"; done
  printf '}\n'
} >"$importer_corpus/0-deep"
{
  printf "\000$fbx6_head"'Objects:  {\n'
  for n in $(seq 0 63); do printf '\tModel: "Model::W%d", "Null" {\n\t}\n' "$n"; done
  printf '}\nConnections:  {\n'
  for n in $(seq 0 63); do printf '\tConnect: "OO", "Model::W%d", "Model::Scene"\n' "$n"; done
  printf '}\n'
} >"$importer_corpus/0-wide"
fuzz fbx/fbx_importer_fuzz "$importer_corpus" -max_len=262144

# The 3DS database reader: a mesh file with a mesh, a material and two
# keyframer nodes (one instanced), a bare material library, an empty mesh file.
ftk_corpus="$build/ftk3ds-corpus"
mkdir -p "$ftk_corpus"
printf '\x4d\x4d\x76\x01\x00\x00\x02\x00\x0a\x00\x00\x00\x03\x00\x00\x00\x3d\x3d\xe5\x00\x00\x00\x3e\x3d\x0a\x00\x00\x00\x03\x00\x00\x00\xff\xaf\x3b\x00\x00\x00\x00\xa0\x0a\x00\x00\x00\x52\x65\x64\x00\x20\xa0\x0f\x00\x00\x00\x11\x00\x09\x00\x00\x00\xff\x00\x00\x00\xa2\x1c\x00\x00\x00\x30\x00\x08\x00\x00\x00\x64\x00\x00\xa3\x0e\x00\x00\x00\x74\x65\x78\x2e\x74\x67\x61\x00\x00\x40\x9a\x00\x00\x00\x42\x6f\x78\x00\x00\x41\x90\x00\x00\x00\x10\x41\x2c\x00\x00\x00\x03\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x80\x3f\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x80\x3f\x00\x00\x00\x00\x60\x41\x36\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x20\x41\x28\x00\x00\x00\x01\x00\x00\x00\x01\x00\x02\x00\x07\x00\x30\x41\x0e\x00\x00\x00\x52\x65\x64\x00\x01\x00\x00\x00\x50\x41\x0a\x00\x00\x00\x01\x00\x00\x00\x00\xb0\x81\x00\x00\x00\x0a\xb0\x0d\x00\x00\x00\x05\x00\x00\x1e\x00\x00\x00\x02\xb0\x48\x00\x00\x00\x30\xb0\x08\x00\x00\x00\x00\x00\x10\xb0\x10\x00\x00\x00\x42\x6f\x78\x00\x00\x00\x00\x00\xff\xff\x20\xb0\x2a\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x3f\x00\x00\x80\x3f\x00\x00\x00\x40\x00\x00\x40\x40\x02\xb0\x26\x00\x00\x00\x30\xb0\x08\x00\x00\x00\x01\x00\x10\xb0\x10\x00\x00\x00\x42\x6f\x78\x00\x00\x00\x00\x00\x00\x00\x11\xb0\x08\x00\x00\x00\x41\x00' >"$ftk_corpus/mesh.3ds"
printf '\xaa\x3d\x1a\x00\x00\x00\xff\xaf\x14\x00\x00\x00\x00\xa0\x0e\x00\x00\x00\x42\x6c\x75\x65\x00\x00\x00\x00' >"$ftk_corpus/library.3ds"
printf '\x4d\x4d\x06\x00\x00\x00' >"$ftk_corpus/empty.3ds"
fuzz 3dsftk/ftk3ds_database_fuzz "$ftk_corpus"

# The 3DS reader: the first input byte switches its options; the seeds are
# the small and the rich scene of the reader's tests and a mesh instanced
# many times, written by the toolkit. Instancing must never multiply into
# more memory than the file's content: the run is held to 512 MB.
reader3ds_corpus="$build/reader3ds-corpus"
mkdir -p "$reader3ds_corpus"
"$build/fbxfilesdk/formats/reader3ds_fuzz_seeds" "$reader3ds_corpus"
fuzz formats/reader3ds_fuzz "$reader3ds_corpus" -rss_limit_mb=512

# The 3DS writer: what the 3DS reader reads of each input is written and read
# back; the reader's corpus as seeds (a copy: each target grows its own).
writer3ds_corpus="$build/writer3ds-corpus"
mkdir -p "$writer3ds_corpus"
"$build/fbxfilesdk/formats/reader3ds_fuzz_seeds" "$writer3ds_corpus"
fuzz formats/writer3ds_fuzz "$writer3ds_corpus"

# The DXF reader: hand-written drawings, each behind an option byte, and the
# section, entity and group words as the dictionary. Two seeds have blocks
# that insert others many times over, or themselves: what inserts make is
# bounded, so the run is held to 512 MB and each input to 10 seconds; the
# sanitizer keeps less freed memory aside, or what it keeps of many large
# scenes would fill the 512 MB by itself.
readerdxf_corpus="$build/readerdxf-corpus"
mkdir -p "$readerdxf_corpus"
for seed in fuzz/dxf_seeds/*.dxf; do
  for option in 0 1 2 14; do
    { printf "\\$(printf '%03o' "$option")"; cat "$seed"; } >"$readerdxf_corpus/$option-$(basename "$seed")"
  done
done
ASAN_OPTIONS="$ASAN_OPTIONS:quarantine_size_mb=64" \
  fuzz formats/readerdxf_fuzz "$readerdxf_corpus" -dict=fuzz/dxf.dict -rss_limit_mb=512 -timeout=10

# The OBJ reader: hand-written files (the part after "\n\f\n" is their material
# library; one names endless devices as libraries), and the statement keywords
# as the dictionary. Within 512 MB and 10 s an input, whatever it names.
readerobj_corpus="$build/readerobj-corpus"
mkdir -p "$readerobj_corpus"
for seed in fuzz/obj_seeds/*.obj; do
  { printf '\001'; cat "$seed"; } >"$readerobj_corpus/$(basename "$seed")"
done
fuzz formats/readerobj_fuzz "$readerobj_corpus" -dict=fuzz/obj.dict -rss_limit_mb=512 -timeout=10

# The COLLADA reader: hand-written documents as seeds (one instances nodes
# that instance others twice over, and one geometry many times), element
# names as the dictionary. The reader's node limit keeps instancing within
# 512 MB, whatever the fuzzer makes of the instances.
collada_corpus="$build/collada-corpus"
mkdir -p "$collada_corpus"
cp fuzz/collada_seeds/*.dae "$collada_corpus/"
fuzz collada/collada_reader_fuzz "$collada_corpus" -dict=fuzz/collada.dict -rss_limit_mb=512

# The COLLADA writer: what the reader makes of the same seeds is written and
# read again; the first byte picks the writer's options.
collada_writer_corpus="$build/collada-writer-corpus"
mkdir -p "$collada_writer_corpus"
for seed in fuzz/collada_seeds/*.dae; do
  for mode in 0 3; do
    { printf "\\$(printf '%03o' "$mode")"; cat "$seed"; } >"$collada_writer_corpus/$mode-$(basename "$seed")"
  done
done
fuzz collada/collada_writer_fuzz "$collada_writer_corpus" -dict=fuzz/collada.dict

# The TIFF image reader: small images as the converter writes them.
tiff_corpus="$build/tiff-corpus"
mkdir -p "$tiff_corpus"
"$build/fbxfilesdk/scene/tiff_image_fuzz_seeds" "$tiff_corpus"
fuzz scene/tiff_image_fuzz "$tiff_corpus"

status=0
for entry in "${running[@]}"; do
  if ! wait "${entry%%:*}"; then
    echo "== fuzz: ${entry#*:} failed"
    tail -n 40 "$build/${entry#*:}.log"
    status=1
  fi
done
exit $status
