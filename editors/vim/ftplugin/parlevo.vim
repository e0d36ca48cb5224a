" Personality files: "%" jumps between a tag's braces.
if exists('b:did_ftplugin')
  finish
endif
let b:did_ftplugin = 1
setlocal matchpairs+={:}
let b:undo_ftplugin = 'setlocal matchpairs<'
