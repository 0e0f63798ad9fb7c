#!/bin/sh
# Runs a test under umockdev's preload library. AddressSanitizer insists on being the
# first library loaded; the preload library comes first, so its check is switched off.
ASAN_OPTIONS="verify_asan_link_order=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export ASAN_OPTIONS
if command -v umockdev-wrapper >/dev/null 2>&1; then
    exec umockdev-wrapper "$@"
fi
exec "$@"
