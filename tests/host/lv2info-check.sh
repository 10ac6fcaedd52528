#!/bin/sh
# Asks lilv (a real LV2 host library) about the built bundle: it must be found under its URI,
# and the data files lilv loads for it must declare the 14 parameters.
set -eu
bundle_parent=$1
uri=$2
out=$(LV2_PATH="$bundle_parent" lv2info "$uri")
echo "$out" | grep -q "Binary:.*libVinola.so"
ttl_files=$(echo "$out" | sed -n '/Data URIs:/,/Required Features:/p' | grep -o 'file://[^ ]*\.ttl' | sed 's|^file://||')
count=$(cat $ttl_files | grep -c 'a lv2:Parameter')
echo "lv2info found $uri with $count parameters"
[ "$count" -eq 14 ]
