# bash completion for vexolith                              -*- shell-script -*-

_vexolith() {
  local cur prev
  cur=${COMP_WORDS[COMP_CWORD]}
  prev=${COMP_WORDS[COMP_CWORD-1]}

  if [[ $COMP_CWORD -eq 1 ]]; then
    COMPREPLY=($(compgen -W 'read --help --version' -- "$cur"))
    return
  fi
  case $prev in
    --binarize)
      COMPREPLY=($(compgen -W 'auto global local block' -- "$cur"))
      return
      ;;
    --marked)
      compopt -o filenames 2>/dev/null
      COMPREPLY=($(compgen -f -- "$cur"))
      return
      ;;
    --rows | --cols | --threshold | --level | --window | --block | --max-side | --jobs)
      return  # a number
      ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W '--rows --cols --threshold --all --binarize --level --window --block
      --max-side --json --marked --jobs --show-contours --help --version' -- "$cur"))
    return
  fi
  # Pictures: the formats the command reads, and folders to walk into.
  compopt -o filenames 2>/dev/null
  COMPREPLY=($(compgen -f -X '!*.@(bmp|BMP|png|PNG|jpg|JPG|jpeg|JPEG|tif|TIF|tiff|TIFF|gif|GIF)' -- "$cur")
             $(compgen -d -- "$cur"))
}
complete -F _vexolith vexolith
