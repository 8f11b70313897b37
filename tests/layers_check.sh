#!/usr/bin/env bash
# The layers call only downwards, and the rooms keep to themselves: a file may
# include only headers of its own layer or of the layers below it; the storage
# room includes nothing of the network room; the pages include nothing that
# reaches the network, the disk or the clock.
set -u
src=${1:?the source folder}
cd "$src" || exit 2
status=0

# The layers, lowest first.
layers=(json text model acquire report shell)

includes() {  # the project headers `file` includes
  sed -n 's/^#include "\([a-z_]*\/[^"]*\)".*/\1/p' "$1"
}

refuse() {
  echo "$1 includes $2: $3"
  status=1
}

for index in "${!layers[@]}"; do
  layer=${layers[$index]}
  allowed=" ${layers[*]:0:$((index + 1))} embedded.h "
  while IFS= read -r file; do
    while IFS= read -r header; do
      top=${header%%/*}
      case " $allowed " in *" $top "*) ;; *) refuse "$file" "$header" "a higher layer" ;; esac
      case "$file:$header" in
        acquire/store/*:acquire/net/*) refuse "$file" "$header" "the storage room knows nothing of the network" ;;
        report/*:acquire/net/* | report/*:acquire/store/*) refuse "$file" "$header" "pages do no I/O" ;;
        report/*:text/clock.h | report/*:text/debug_log.h) refuse "$file" "$header" "pages read no clock and log nothing" ;;
        report/*:acquire/*)
          case "$header" in
            acquire/addresses.h | acquire/side_facts.h | acquire/picture_files.h | acquire/messages.h) ;;
            *) refuse "$file" "$header" "pages read only the plain headers of acquire" ;;
          esac ;;
      esac
    done < <(includes "$file")
  done < <(find "$layer" -name '*.h' -o -name '*.cpp' | sort)
done
[ $status -eq 0 ] && echo "every include goes downwards"
exit $status
