" Is a .txt file a personality's data file? It is when a base file (.ltc) in
" its folder or the folder above lists its name in one of its lines. The
" language server decides exactly (the data folder resolved); this only
" chooses the file type.
function! parlevo#detect#DataFile(path) abort
  let l:name = tolower(fnamemodify(a:path, ':t'))
  for l:folder in [fnamemodify(a:path, ':h'), fnamemodify(a:path, ':h:h')]
    for l:base in glob(l:folder . '/*.[lL][tT][cC]', 1, 1)
      " Base files are small; a large file of that name is no base file.
      if getfsize(l:base) > 1048576
        continue
      endif
      for l:line in readfile(l:base, 'b', 400)
        for l:item in split(tolower(l:line), '[,\t "\r]\+')
          if fnamemodify(substitute(l:item, '\\', '/', 'g'), ':t') ==# l:name
            " Over "text", which plain .txt files were given first.
            set filetype=parlevo
            return
          endif
        endfor
      endfor
    endfor
  endfor
endfunction
