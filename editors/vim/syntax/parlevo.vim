" Personality files: tags in braces (nested, arguments between "|"), the
" tier and end markers, quoted fields and the commas between fields.
if exists('b:current_syntax')
  finish
endif

syntax case ignore
syntax match parlevoMarker /^\s*{\s*\(prior\|endofdata\)\s*}/
syntax region parlevoTag matchgroup=parlevoBrace start=/{/ end=/}/ contains=parlevoTag,parlevoBar,parlevoTagName oneline
syntax match parlevoTagName /\%({\)\@<=[A-Za-z!=<>+*\/%&-]\+:\=/ contained
syntax match parlevoBar /|/ contained
syntax region parlevoQuoted start=/"/ skip=/""/ end=/"/ contains=parlevoTag oneline
syntax match parlevoComma /,/

highlight default link parlevoMarker PreProc
highlight default link parlevoBrace Delimiter
highlight default link parlevoTagName Function
highlight default link parlevoBar Operator
highlight default link parlevoQuoted String
highlight default link parlevoComma Delimiter

let b:current_syntax = 'parlevo'
