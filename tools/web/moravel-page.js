// The page around the demo: it fetches the archive and the program, asks for a click (browsers
// start sound only after one), then puts the archive in the program's in-memory file system and
// starts it. The program reports back through Module: frames, dialogs, its end. window.moravel
// holds what a test or a curious viewer may read.
(function () {
  'use strict';
  const params = new URLSearchParams(window.location.search);
  const args = [];
  if (params.has('desktop')) args.push('--desktop');
  if (params.has('loop')) args.push('--loop');
  if (params.get('fps')) args.push('--fps', params.get('fps'));
  if (params.get('at')) args.push('--at', params.get('at'));
  const archiveUrl = params.get('archive') || 'moravel.vfs';

  const overlay = document.getElementById('overlay');
  const closeButton = document.getElementById('close');
  const dialog = document.getElementById('dialog');
  const state = {
    archive: null, runtime: false, ready: false, started: false, exitCode: null,
    frames: [], shots: [], dialogs: [], problem: null,
  };
  window.moravel = state;

  function say(text, ready) {
    overlay.textContent = text;
    overlay.classList.toggle('ready', !!ready);
    overlay.style.display = text ? 'flex' : 'none';
  }

  function fail(text) {
    state.problem = text;
    say(text, false);
  }

  function showDialog(caption, text) {
    state.dialogs.push({ caption: caption, text: text });
    document.getElementById('dialog-caption').textContent = caption;
    document.getElementById('dialog-text').textContent = text;
    dialog.style.display = 'block';
    document.getElementById('dialog-ok').focus();
  }

  document.getElementById('dialog-ok').addEventListener('click', function () {
    dialog.style.display = 'none';
  });

  const Module = {
    noInitialRun: true,
    canvas: document.getElementById('canvas'),
    print: function (text) { console.log(text); },
    printErr: function (text) { console.error(text); },
    onRuntimeInitialized: function () { state.runtime = true; offerStart(); },
    onAbort: function (what) { fail('The demo stopped: ' + what); },
    onExit: function (code) {
      state.exitCode = code;
      closeButton.style.display = 'none';
      say(code === 0 ? 'The demo has ended.\nReload the page to watch it again.'
                     : 'The demo ended with exit code ' + code + '.', false);
    },
    onFrame: function (tick, demoMs, musicMs) { state.frames.push([tick, demoMs, musicMs]); },
    onShot: function (at, demoMs, png) { state.shots.push({ at: at, demoMs: demoMs, png: png }); },
    showDialog: showDialog,
    dialogOpen: function () { return dialog.style.display === 'block'; },
  };
  window.Module = Module;

  function offerStart() {
    if (state.archive === null || !state.runtime || state.ready) return;
    state.ready = true;
    say('Click to start', true);
  }

  function start() {
    if (!state.ready || state.started) return;
    state.started = true;
    const AudioContextClass = window.AudioContext || window.webkitAudioContext;
    if (AudioContextClass) {
      Module.audioContext = new AudioContextClass();
      Module.audioContext.resume();
    }
    Module.FS.mkdir('/moravel');
    Module.FS.writeFile('/moravel/moravel.vfs', state.archive);
    state.archive = null;
    say('', false);
    closeButton.style.display = 'block';
    Module.canvas.focus();
    Module.callMain(args);
  }

  overlay.addEventListener('click', start);
  closeButton.addEventListener('click', function () { Module._MoravelWebClose(); });

  fetch(archiveUrl).then(function (response) {
    if (!response.ok) throw new Error(response.status + ' ' + response.statusText);
    return response.arrayBuffer();
  }).then(function (bytes) {
    state.archive = new Uint8Array(bytes);
    offerStart();
  }).catch(function (error) {
    fail(archiveUrl + ' could not be loaded: ' + error.message +
         '\nServe this folder over HTTP (see the README) and reload.');
  });

  const program = document.createElement('script');
  program.src = 'moravel-web.js';
  program.onerror = function () { fail('moravel-web.js could not be loaded.'); };
  document.body.appendChild(program);
})();
