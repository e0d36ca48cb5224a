// The VS Code client of Parlevo's language server: starts `parlevo-cli lsp`
// for personality files, asks it whether an opened .txt file is a data file
// (a base file in its folder or the folder above lists it), and offers
// "Parlevo: Try an input".
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

let client;

async function detectDataFile(document) {
  const settings = vscode.workspace.getConfiguration('parlevo');
  if (!client || !settings.get('dataFiles.detect') || document.uri.scheme !== 'file') return;
  if (document.languageId !== 'plaintext' || !document.fileName.toLowerCase().endsWith('.txt')) return;
  const answer = await client.sendRequest('parlevo/fileKind', { uri: document.uri.toString() });
  if (answer && answer.kind !== 'other') {
    await vscode.languages.setTextDocumentLanguage(document, 'parlevo');
  }
}

async function tryInput(output) {
  const editor = vscode.window.activeTextEditor;
  if (!client || !editor || editor.document.languageId !== 'parlevo') {
    vscode.window.showInformationMessage('Open a personality file first.');
    return;
  }
  const input = await vscode.window.showInputBox({ prompt: 'What the partner says' });
  if (input === undefined) return;
  const result = await client.sendRequest('workspace/executeCommand', {
    command: 'parlevo.try',
    arguments: [editor.document.uri.toString(), input],
  });
  output.clear();
  output.appendLine(`try ${input}  (${result.baseFile})`);
  for (const line of result.lines) output.appendLine(line);
  output.show(true);
}

async function activate(context) {
  const settings = vscode.workspace.getConfiguration('parlevo');
  client = new LanguageClient(
    'parlevo',
    'Parlevo',
    { command: settings.get('server.path'), args: ['lsp'] },
    { documentSelector: [{ scheme: 'file', language: 'parlevo' }] },
  );
  await client.start();
  const output = vscode.window.createOutputChannel('Parlevo try');
  context.subscriptions.push(
    output,
    vscode.commands.registerCommand('parlevo.tryInput', () => tryInput(output)),
    vscode.workspace.onDidOpenTextDocument(detectDataFile),
  );
  for (const document of vscode.workspace.textDocuments) await detectDataFile(document);
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
