# bash completion for vexolith                              -*- shell-script -*-

_vexolith() {
  local cur prev flags
  cur=${COMP_WORDS[COMP_CWORD]}
  prev=${COMP_WORDS[COMP_CWORD-1]}

  if [[ $COMP_CWORD -eq 1 ]]; then
    COMPREPLY=($(compgen -W 'read detect segment histogram --help --version' -- "$cur"))
    return
  fi
  case $prev in
    --binarize)
      COMPREPLY=($(compgen -W 'auto global local block' -- "$cur"))
      return
      ;;
    --refine)
      COMPREPLY=($(compgen -W 'none contour image line line1 line2 black' -- "$cur"))
      return
      ;;
    --logs)
      compopt -o filenames 2>/dev/null
      COMPREPLY=($(compgen -d -- "$cur"))
      return
      ;;
    --marked | --chart)
      compopt -o filenames 2>/dev/null
      COMPREPLY=($(compgen -f -- "$cur"))
      return
      ;;
    --rows | --cols | --threshold | --level | --window | --block | --max-side | --jobs | \
      --factor | --bins | --join | --share | --min-marked | --area)
      return  # a number
      ;;
  esac
  if [[ $cur == -* ]]; then
    flags='--json --jobs --show-contours --help --version'
    case ${COMP_WORDS[1]} in
      read)
        flags+=' --rows --cols --threshold --all --binarize --level --window --block
          --max-side --marked --refine --logs' ;;
      detect) flags+=' --level --factor --marked' ;;
      segment) flags+=' --block --bins --join --share --min-marked --no-fold --best --marked' ;;
      histogram) flags+=' --bins --area --chart' ;;
    esac
    COMPREPLY=($(compgen -W "$flags" -- "$cur"))
    return
  fi
  # Pictures: the formats the command reads, and folders to walk into.
  compopt -o filenames 2>/dev/null
  COMPREPLY=($(compgen -f -X '!*.@(bmp|BMP|png|PNG|jpg|JPG|jpeg|JPEG|tif|TIF|tiff|TIFF|gif|GIF)' -- "$cur")
             $(compgen -d -- "$cur"))
}
complete -F _vexolith vexolith
