#!/usr/bin/env bash
# Layers above the platform layer must stay portable: only platform/, utils/, tools/, tests/ and
# bench/ may include operating-system or toolkit headers. Prints every offending include and exits 1.
set -u
root="${1:?usage: check-os-headers.sh <source root>}"
cd "$root" || exit 2

forbidden='^[[:space:]]*#[[:space:]]*include[[:space:]]*<('
forbidden+='sys/|linux/|netinet/|arpa/|net/|X11/|cairo|pango|systemd/|glib|gtk/|dbus/|windows\.h|'
forbidden+='(unistd|fcntl|pthread|dirent|spawn|poll|pwd|grp|dlfcn|iconv|langinfo|termios|semaphore|sched|'
forbidden+='syslog|glob|fnmatch|libgen|strings|wordexp|netdb|ifaddrs|utime|aio|mqueue|'
forbidden+='sys|ucontext|execinfo|link|elf|err|error|paths|utmp|utmpx|shadow|mntent|malloc|alloca|'
forbidden+='features|endian|byteswap|ftw|regex|search|nl_types|monetary|ulimit|wait|stropts|tar|cpio)\.h>)'

status=0
while IFS= read -r -d '' file; do
  case "$file" in
    ./platform/*|./utils/*|./tools/*|./tests/*|./bench/*|./build*/*|./.git/*) continue ;;
  esac
  if hits=$(grep -nE "$forbidden" "$file"); then
    while IFS= read -r hit; do echo "${file#./}:$hit"; done <<<"$hits"
    status=1
  fi
done < <(find . \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \) -print0)
exit $status
