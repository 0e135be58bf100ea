#!/usr/bin/env bash
# Runs a command with HOME pointing at a fresh temporary folder that holds the plug-in's log folder,
# and removes the folder afterwards. Keeps tests away from the user's own HOME and log.
set -u
home=$(mktemp -d "${TMPDIR:-/tmp}/qm70-home.XXXXXX")
mkdir -p "$home/bolvanelog"
trap 'rm -rf "$home"' EXIT
HOME="$home" "$@"
