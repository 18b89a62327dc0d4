# The sanitizer options of the sanitized suite; source it. ./test.sh --sanitize and
# scripts/repeat-test.sh --sanitize run under the same ones, so a repeat sees what CI sees.
# Leaks inside the system's GL, X and sound libraries are theirs; none of ours is suppressed.
sanitizer_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1
export LSAN_OPTIONS=suppressions=$sanitizer_root/tests/support/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
unset sanitizer_root
