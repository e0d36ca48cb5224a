" Personality files: a base file by its extension (.ltc); a data file (.txt)
" when a base file in its folder or the folder above names it.
autocmd BufNewFile,BufRead *.ltc,*.LTC setfiletype parlevo
autocmd BufRead *.txt,*.TXT call parlevo#detect#DataFile(expand('<afile>:p'))
