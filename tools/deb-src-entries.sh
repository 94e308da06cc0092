#!/usr/bin/env bash
# Prints the deb-src entries (a deb822 .sources file) that apt-get source needs, one for each deb
# entry the machine already has, with the same mirror, suites, components and keyring: the project
# names no repository of its own. Prints nothing when a deb-src entry exists already; fails with a
# message when there is no deb entry to follow.
# The apt folder is ZARV_APT_DIR (default /etc/apt): sources.list, sources.list.d/*.list and
# sources.list.d/*.sources, the files apt itself reads.
set -euo pipefail
apt_dir=${ZARV_APT_DIR:-/etc/apt}

files=()
for f in "$apt_dir/sources.list" "$apt_dir"/sources.list.d/*.list "$apt_dir"/sources.list.d/*.sources; do
  [ -f "$f" ] && files+=("$f")
done

entries=$(
  for f in "${files[@]}"; do
    case $f in
      *.sources) awk -f - "$f" <<'DEB822'
# One stanza at a time (blank lines between): Types naming deb-src means one exists (a line
# "deb-src" alone); a deb entry is printed back as deb-src, every field kept (an inline key's
# continuation lines too) but Types and those that only choose binary indexes.
function flush() {
  if (enabled && types ~ /(^| )deb-src( |$)/) print "deb-src"
  else if (enabled && types ~ /(^| )deb( |$)/ && body != "") printf "Types: deb-src\n%s\n", body
  types = ""; body = ""; enabled = 1; skip = 0
}
BEGIN { enabled = 1 }
/^[ \t]*#/ { next }
/^[ \t]*$/ { flush(); next }
/^[ \t]/ { if (!skip) body = body "\n" $0; next }
{
  name = tolower($0); sub(/:.*/, "", name)
  value = $0; sub(/^[^:]*:[ \t]*/, "", value)
  skip = name == "types" || name == "enabled" || name ~ /^(architectures|languages|targets)/
  if (name == "types") types = value
  else if (name == "enabled") enabled = tolower(value) != "no"
  else if (!skip) body = body (body == "" ? "" : "\n") $0
}
END { flush() }
DEB822
      ;;
      *) awk -f - "$f" <<'ONELINE'
# deb [option=value ...] URI suite [component ...]; the options in brackets may hold spaces.
{ sub(/#.*/, "") }
$1 == "deb-src" { print "deb-src"; next }
$1 != "deb" { next }
{
  n = 2; options = ""
  if ($2 ~ /^\[/) {
    for (; n <= NF; n++) { options = options " " $n; if ($n ~ /\]$/) { n++; break } }
    gsub(/[][]/, "", options)
  }
  if (n + 1 > NF) next
  printf "Types: deb-src\nURIs: %s\nSuites: %s\n", $n, $(n + 1)
  components = ""
  for (i = n + 2; i <= NF; i++) components = components " " $i
  if (components != "") printf "Components:%s\n", components
  count = split(options, option, " ")
  for (i = 1; i <= count; i++) {
    key = option[i]; sub(/=.*/, "", key); value = option[i]; sub(/^[^=]*=/, "", value)
    if (key == "signed-by") printf "Signed-By: %s\n", value
    # arch, lang and target choose binary indexes only; the rest (trusted, check-valid-until...)
    # apt reads under the same name in either form.
    else if (key !~ /^(arch|lang|target)/) printf "%s: %s\n", key, value
  }
}
ONELINE
      ;;
    esac
  done
)

if printf '%s\n' "$entries" | grep -qx 'deb-src'; then
  exit 0
fi
if [ -z "$entries" ]; then
  echo "make windows: no deb entry in $apt_dir (sources.list, sources.list.d/) to take a deb-src entry from;" \
    "add a deb-src entry for the system's own mirror and run make windows again" >&2
  exit 1
fi
# A blank line between stanzas.
printf '%s\n' "$entries" | awk 'NR > 1 && /^Types:/ { print "" } { print }'
