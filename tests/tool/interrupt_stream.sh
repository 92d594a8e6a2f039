#!/bin/sh
# Ctrl-C during `tarvex stream`: the tool stops the stream, closes the camera,
# prints its summary and exits with 130. The signal is sent once the first
# progress line shows that frames are flowing.
#   interrupt_stream.sh TOOL WORK
tool=$1
work=$2
rm -rf "$work" && mkdir -p "$work" || exit 1
"$tool" --sim UA:paced=1 stream --duration 60 >"$work/out" 2>"$work/err" &
pid=$!
tries=0
until grep -q "frames" "$work/err"; do
  tries=$((tries + 1))
  if [ $tries -gt 300 ]; then
    kill -KILL $pid
    echo "no progress line within 30 s"; cat "$work/out" "$work/err"; exit 1
  fi
  sleep 0.1
done
kill -INT $pid
wait $pid
status=$?
cat "$work/out" "$work/err"
[ $status -eq 130 ] || { echo "exit status $status, expected 130"; exit 1; }
grep -q "interrupted; the stream was stopped and the camera closed" "$work/err" || exit 1
grep -q "frames of 1280 x 1024 in" "$work/out" || exit 1
