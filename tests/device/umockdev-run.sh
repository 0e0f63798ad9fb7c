#!/bin/sh
# Runs a test under umockdev's preload library. AddressSanitizer insists on being the
# first library loaded; the preload library comes first, so its check is switched off.
ASAN_OPTIONS="verify_asan_link_order=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
# ThreadSanitizer does not see GLib's own locking inside umockdev.
TSAN_OPTIONS="suppressions=$(dirname "$0")/umockdev-tsan.supp${TSAN_OPTIONS:+ $TSAN_OPTIONS}"
export ASAN_OPTIONS TSAN_OPTIONS
if command -v umockdev-wrapper >/dev/null 2>&1; then
    exec umockdev-wrapper "$@"
fi
exec "$@"
