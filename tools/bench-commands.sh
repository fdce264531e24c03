#!/usr/bin/env bash
# Times a command's round trip (start of `tappora toggle NAME` to its exit) beside the plain start-up of the process
# (`tappora --version`), and the running copy's share: a request sent on its socket until the whole answer is read,
# with no process started. The program runs on a private Xvfb with a list of one click.
#     tools/bench-commands.sh BUILD_FOLDER [RUNS]
set -euo pipefail
build=$(realpath "${1:?build folder}")
runs=${2:-200}
work=$(mktemp -d)
trap 'kill "$app" "$xvfb" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$build/bin/tappora" "$work/"
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
cat >"$work/tapporas.xml" <<'EOF'
<?xml version="1.0" encoding="utf-8" standalone="yes"?><list versionNo="1.0" generated="https://tappora.example.org/"><item fPosX="10" fPosY="10" fStartAt="09:30:00" fStartInterval="60" fRepeat="0" fColor="clBlack" fTop="0" fBottom="768" fLeft="0" fRight="1024" fBMP="" fColorSimplar="100" fBMPSimplar="100" pointType="1" mouseType="1" actionType="0" startType="0" stopType="0" finishType="0" ScreenType="0" iClickInterval="1000" hkStart="1" hkStop="2" fName="Farm gold" checked="True" fRanBegin="100" fRanEnd="5000" InteverType="0"/></list>
EOF
Xvfb :97 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
DISPLAY=:97 "$work/tappora" --hidden >"$work/program.log" 2>&1 &
app=$!
for _ in $(seq 50); do ls "$work/runtime" | grep -qv lock && break; sleep 0.1; done

echo "Load average: $(cut -d' ' -f1-3 /proc/loadavg)"
if command -v hyperfine >/dev/null; then
    hyperfine -N --warmup 10 --runs "$runs" "$work/tappora --version" "$work/tappora toggle 'Farm gold'"
else
    for command in "--version" "toggle Farm\\ gold"; do
        start=$(date +%s%N)
        for _ in $(seq "$runs"); do eval "$work/tappora $command" >/dev/null; done
        echo "tappora $command: $((($(date +%s%N) - start) / runs / 1000)) µs a run (mean of $runs)"
    done
fi
python3 - "$work/runtime" "$runs" <<'EOF'
import glob, socket, statistics, sys, time
path = next(p for p in glob.glob(sys.argv[1] + "/tappora-*") if not p.endswith(".lock"))
times = []
for _ in range(int(sys.argv[2]) * 5):
    client = socket.socket(socket.AF_UNIX)
    start = time.perf_counter()
    client.connect(path)
    client.sendall(b"TAPPORA/1\ttoggle\t--\tFarm gold\n")
    while client.recv(4096):
        pass
    times.append(time.perf_counter() - start)
    client.close()
times.sort()
print(f"running copy's share (connect, request, whole answer, no process): median {statistics.median(times) * 1e6:.0f} µs,"
      f" 90th percentile {times[len(times) * 9 // 10] * 1e6:.0f} µs over {len(times)} requests")
EOF
