-- Neovim's built-in client for personality files: one `parlevo-cli lsp` for
-- every buffer of file type "parlevo" (ftdetect/parlevo.vim says which).
-- Works from Neovim 0.7: vim.lsp.start_client and vim.lsp.buf_attach_client.
local M = {}

-- opts.cmd: how to start the server (default { 'parlevo-cli', 'lsp' }).
function M.setup(opts)
  opts = opts or {}
  local cmd = opts.cmd or { 'parlevo-cli', 'lsp' }
  local client_id = nil
  vim.api.nvim_create_autocmd('FileType', {
    pattern = 'parlevo',
    callback = function(args)
      if client_id == nil or vim.lsp.get_client_by_id(client_id) == nil then
        client_id = vim.lsp.start_client({
          name = 'parlevo',
          cmd = cmd,
          root_dir = vim.fn.fnamemodify(vim.api.nvim_buf_get_name(args.buf), ':p:h'),
          on_attach = opts.on_attach,
        })
      end
      if client_id ~= nil then
        vim.lsp.buf_attach_client(args.buf, client_id)
      end
    end,
  })
end

return M
