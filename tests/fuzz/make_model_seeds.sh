#!/bin/bash
# Writes the seed corpus of the model-file fuzz target: small files in every line form the reader takes or refuses.
# The seeds are kept in the tree; run this again only to change them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
seeds=$here/corpus/fuzz_model
mkdir -p "$seeds"

printf '3\r\n0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n1\r\n2\r\n' > "$seeds/triangle.txt"
printf '3\r0\r0\r0\r1\r0\r0\r0\r1\r0\r0\r1\r2' > "$seeds/cr_only.txt"
printf '2\r\n-1.5e2\r\n.5\r\n+3\r\n4.\r\n-0\r\n1E-3\r\n0\r\n1\r\n1\r\n1\r\n0\r\n0\r\n\x1a' > "$seeds/forms_ctrl_z.txt"
printf '3\n0\n0\n0\n1\n0\n0\n0\n1\n0\n0\n1\n2\n' > "$seeds/lf_only.txt"
printf '3\r\n0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n1\r\n3\r\n' > "$seeds/index_past_end.txt"
printf '3\r\n0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n0\r\n1\r\n0\r\n100000\r\n1\r\n2\r\n' > "$seeds/index_last_entry.txt"
printf '3\r\n0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n100001\r\n2\r\n' > "$seeds/index_past_arrays.txt"
printf '3\r\n0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n1\r\n-1\r\n' > "$seeds/index_negative.txt"
printf '1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n\r\n' > "$seeds/trailing_empty_line.txt"
printf '100001\r\n1\r\n' > "$seeds/ends_early.txt"
# The file stops on a sign: the byte that would follow it is missing.
printf '3\r\n0\r\n+' > "$seeds/ends_on_a_sign.txt"
