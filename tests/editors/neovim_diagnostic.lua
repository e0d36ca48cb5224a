-- Run by neovim_test.sh inside headless Neovim: the shipped setup opens the
-- data file, the real client talks to `parlevo-cli lsp`, and the diagnostic
-- must arrive on the planted line. Ends Neovim with status 0 or 1.
local function check()
  vim.cmd('filetype plugin on')
  require('parlevo').setup({ cmd = { os.getenv('PARLEVO_CLI'), 'lsp' } })
  vim.cmd('edit ' .. vim.fn.fnameescape(os.getenv('PARLEVO_FILE')))
  assert(vim.bo.filetype == 'parlevo', 'the data file was taken as "' .. vim.bo.filetype .. '"')
  local buf = vim.api.nvim_get_current_buf()
  local arrived = vim.wait(30000, function() return #vim.diagnostic.get(buf) > 0 end, 50)
  assert(arrived, 'no diagnostic within 30 s')
  local diagnostics = vim.diagnostic.get(buf)
  assert(#diagnostics == 1, #diagnostics .. ' diagnostics: ' .. vim.inspect(diagnostics))
  local found = diagnostics[1]
  local line = tonumber(os.getenv('PARLEVO_LINE'))
  assert(found.lnum == line, 'on line ' .. found.lnum .. ', not ' .. line .. ': ' .. found.message)
  assert(found.message:find(os.getenv('PARLEVO_WORDS'), 1, true), found.message)
  io.stdout:write(string.format('%d:%d: %s\n', found.lnum + 1, found.col + 1, found.message))
end

local ok, problem = pcall(check)
for _, client in pairs(vim.lsp.get_active_clients()) do client.stop() end
if ok then
  vim.cmd('qall!')
else
  io.stderr:write('FAILED: ' .. tostring(problem) .. '\n')
  vim.cmd('cquit 1')
end
