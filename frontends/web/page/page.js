// The browser's side of the web front-end (the object QV): the canvas and
// its scale, the queue of events the wasm's message loop takes one at a
// time, the fall timer, WebAudio, localStorage, the HTML message boxes and
// the name dialog, the folding, the caption drag and the page beside the
// picture. Knows no game rule: the wasm decides what is drawn and answered.
'use strict';

const QV = (() => {
  const Width = 350, Height = 420, Caption = 22, Side = 3;
  const Event = {Tick: 1, Posted: 2, Key: 3, Press: 4, Release: 5, Focus: 6, Unfold: 7, Answer: 8, Command: 9};
  // The keys the game answers, by where they are on the keyboard, as the
  // desktop's virtual keys.
  const VirtualKeys = {ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40,
                       Numpad2: 98, Numpad4: 100, Numpad5: 101, Numpad6: 102};
  // A box's buttons by the set asked for, with their answers; Escape gives
  // `escape`, and a Yes/No question cannot be escaped.
  const BoxButtons = {
    0: {buttons: [['OK', 1]], escape: 1},
    4: {buttons: [['Yes', 6], ['No', 7]], escape: null},
    5: {buttons: [['Retry', 4], ['Cancel', 2]], escape: 2},
  };
  // Windows-1252 at 0x80 to 0x9F; 0 where the code page has no character.
  const HighControls = [
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178];
  const decoder = new TextDecoder('windows-1252');

  const canvas = document.getElementById('quarvelle');
  const picture = document.getElementById('picture');
  const context = canvas.getContext('2d', {alpha: false});
  const nameDialog = document.getElementById('name-dialog');
  const nameInput = document.getElementById('name-input');

  const queue = [];          // [type, a, b], oldest first
  let wake = null;           // resolves the loop's wait for the next event
  let modal = 0;             // boxes and dialogs open: the canvas takes no input
  let over = false;          // the game has ended
  let folded = false;        // minimised: only the caption shows
  let drag = null;           // the caption drag: where the press was and the offset then
  let place = {k: 1, r: 1, left: 0, top: 0};  // device pixels of the picture's corner
  let offset = [0, 0];       // how far the drag moved the picture, in game pixels
  const timer = {handle: 0, pending: false};
  let heldLock = null;        // releases the score file's lock this tab holds
  const pictures = [];       // ImageBitmaps by catalogue id, once decoded
  const named = {};          // the picture's name (lower case) of each catalogue id
  const picturesByName = {}; // {bmp, bitmap, done} of every picture in pictures.bin, by name
  let fontLoading = null;    // the font's loading, until it is done
  let fontSize = 11;
  const waves = {};          // WAVE bytes by cue, until the sound is started
  const sounds = {};         // AudioBuffers by cue
  let audio = null;          // the AudioContext, made on the first key or click
  let playing = null;        // the source now sounding
  let soundDone = null;      // resolves the wait for a waited sound
  let soundStarted = false;  // the browser has let the AudioContext run once
  let moduleHeap = null;

  // Every picture is fetched in one file and decoded by the browser,
  // beginning while the wasm is still on its way: name, NUL, size (4 bytes,
  // little-endian), the BMP bytes, one after another. The console and the
  // small pictures decode side by side; the big info pages, which the first
  // screen never shows, one by one after them.
  const BigPicture = 100 * 1024;
  function decodePicture(decoded) {
    return createImageBitmap(new Blob([decoded.bmp], {type: 'image/bmp'}),
                             {colorSpaceConversion: 'none', premultiplyAlpha: 'none'})
      .then((bitmap) => { decoded.bitmap = bitmap; }, () => {})
      .then(() => { decoded.bmp = null; decoded.finish(); });
  }
  // The file is gzip-compressed; a server that already undid that for the
  // browser hands over the plain bytes, which are taken as they are.
  function unpacked(buffer) {
    const head = new Uint8Array(buffer, 0, Math.min(2, buffer.byteLength));
    if (head[0] !== 0x1F || head[1] !== 0x8B) return buffer;
    return new Response(new Blob([buffer]).stream().pipeThrough(new DecompressionStream('gzip'))).arrayBuffer();
  }
  const picturesArrived = fetch('pictures.bin').then((answer) => answer.arrayBuffer()).then(unpacked).then((buffer) => {
    const bytes = new Uint8Array(buffer), view = new DataView(buffer);
    const first = [], later = [];
    for (let at = 0; at < bytes.length;) {
      const end = bytes.indexOf(0, at);
      if (end < 0 || end + 5 > bytes.length) break;
      const name = String.fromCharCode(...bytes.subarray(at, end)).toLowerCase();
      const size = view.getUint32(end + 1, true);
      const decoded = {bmp: bytes.subarray(end + 5, end + 5 + size), bitmap: null, finish: null, done: null};
      decoded.done = new Promise((resolve) => { decoded.finish = resolve; });
      picturesByName[name] = decoded;
      (first.length === 0 || size <= BigPicture ? first : later).push(decoded);
      at = end + 5 + size;
    }
    Promise.all(first.map(decodePicture)).then(() => later.reduce((chain, decoded) =>
      chain.then(() => decodePicture(decoded)), Promise.resolve()));
  }, () => {});

  function push(type, a = 0, b = 0) {
    queue.push([type, a, b]);
    if (wake) { const resolve = wake; wake = null; resolve(); }
  }

  // k is the whole number nearest the ratio, halves up, lowered until the
  // picture fits the window in device pixels. The corner lies on a whole CSS
  // pixel, which Chromium keeps when it paints (at a whole ratio that is a
  // whole device pixel too), so every game pixel shows as k by k pixels of
  // its own colour.
  function layout() {
    const r = window.devicePixelRatio || 1;
    const viewWidth = Math.round(window.innerWidth * r), viewHeight = Math.round(window.innerHeight * r);
    let k = Math.max(1, Math.floor(r + 0.5));
    while (k > 1 && (Width * k > viewWidth || Height * k > viewHeight)) k -= 1;
    const left = Math.round(((viewWidth - Width * k) / 2 + offset[0] * k) / r);
    const top = Math.round((Math.max(0, (viewHeight - Height * k) / 2) + offset[1] * k) / r);
    place = {k, r, left: left * r, top: top * r};
    canvas.style.width = `${Width * k / r}px`;
    canvas.style.height = `${Height * k / r}px`;
    picture.style.width = `${Width * k / r}px`;
    picture.style.height = `${(folded ? Caption : Height) * k / r}px`;
    picture.style.left = `${left}px`;
    picture.style.top = `${top}px`;
  }

  function gamePoint(event) {
    const rect = canvas.getBoundingClientRect();
    return [Math.floor((event.clientX - rect.left) * Width / rect.width),
            Math.floor((event.clientY - rect.top) * Height / rect.height)];
  }

  function onCaption(x, y) { return y >= 0 && y < Caption && x >= Side && x < Width - Side; }

  // The level-up cue is Microsoft ADPCM, which browsers do not decode: it is
  // unpacked here, block by block, into 16-bit samples. Returns
  // {rate, channels: [Float32Array...]}, or null for anything else.
  const AdpcmAdaptation = [230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230];
  function decodeMsAdpcm(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const tag = (at) => String.fromCharCode(bytes[at], bytes[at + 1], bytes[at + 2], bytes[at + 3]);
    if (bytes.length < 12 || tag(0) !== 'RIFF' || tag(8) !== 'WAVE') return null;
    let format = null, data = null, frames = -1;
    for (let at = 12; at + 8 <= bytes.length;) {
      const size = view.getUint32(at + 4, true), body = at + 8;
      if (tag(at) === 'fmt ' && size >= 20) format = body;
      if (tag(at) === 'data') data = [body, Math.min(size, bytes.length - body)];
      if (tag(at) === 'fact' && size >= 4) frames = view.getUint32(body, true);
      at = body + size + (size & 1);
    }
    if (format === null || data === null || view.getUint16(format, true) !== 2) return null;
    const channels = view.getUint16(format + 2, true), rate = view.getUint32(format + 4, true);
    const blockAlign = view.getUint16(format + 12, true), perBlock = view.getUint16(format + 18, true);
    const coefficients = [];
    for (let i = 0, count = view.getUint16(format + 20, true); i < count; i += 1) {
      coefficients.push([view.getInt16(format + 22 + 4 * i, true), view.getInt16(format + 24 + 4 * i, true)]);
    }
    if (channels < 1 || channels > 2 || blockAlign < 7 * channels || coefficients.length === 0) return null;
    const blocks = Math.floor(data[1] / blockAlign);
    const total = frames >= 0 ? Math.min(frames, blocks * perBlock) : blocks * perBlock;
    const out = Array.from({length: channels}, () => new Float32Array(total));
    let written = 0;
    for (let block = 0; block < blocks && written < total; block += 1) {
      let at = data[0] + block * blockAlign;
      const end = at + blockAlign;
      const state = [];
      for (let c = 0; c < channels; c += 1) state.push({coefficient: coefficients[bytes[at + c]] || coefficients[0]});
      at += channels;
      for (const field of ['delta', 'first', 'second']) {
        for (let c = 0; c < channels; c += 1, at += 2) state[c][field] = view.getInt16(at, true);
      }
      // The block's header holds its first two samples, the older one first.
      const put = (c, sample) => { out[c][written] = sample / 32768; };
      for (const field of ['second', 'first']) {
        if (written >= total) break;
        for (let c = 0; c < channels; c += 1) put(c, state[c][field]);
        written += 1;
      }
      let channel = 0;
      for (; at < end && written < total; at += 1) {
        for (const nibble of [bytes[at] >> 4, bytes[at] & 15]) {
          const s = state[channel];
          const predicted = Math.trunc((s.first * s.coefficient[0] + s.second * s.coefficient[1]) / 256);
          const sample = Math.max(-32768, Math.min(32767, predicted + (nibble >= 8 ? nibble - 16 : nibble) * s.delta));
          s.second = s.first;
          s.first = sample;
          s.delta = Math.max(16, (AdpcmAdaptation[nibble] * s.delta) >> 8);
          put(channel, sample);
          channel += 1;
          if (channel === channels) {
            channel = 0;
            written += 1;
            if (written >= total) break;
          }
        }
      }
    }
    return {rate, channels: out};
  }

  function decodeSound(cue, bytes) {
    audio.decodeAudioData(bytes.slice().buffer).then((buffer) => { sounds[cue] = buffer; }, () => {
      const pcm = decodeMsAdpcm(bytes);
      if (!pcm || pcm.channels[0].length === 0) return;
      const buffer = audio.createBuffer(pcm.channels.length, pcm.channels[0].length, pcm.rate);
      pcm.channels.forEach((samples, c) => buffer.copyToChannel(samples, c));
      sounds[cue] = buffer;
    });
  }

  // Browsers start sound only from a key or a click.
  function startSound() {
    if (audio) {
      if (audio.state === 'suspended') audio.resume().catch(() => {});
      return;
    }
    try {
      audio = new AudioContext();
    } catch (error) {
      audio = null;
      return;
    }
    audio.addEventListener('statechange', () => {
      if (audio.state !== 'running') return;
      soundStarted = true;
      restSound();
    });
    if (audio.state === 'running') soundStarted = true;
    for (const cue of Object.keys(waves)) {
      decodeSound(cue, waves[cue]);
      delete waves[cue];
    }
  }

  // Between sounds the context is suspended, so that the sound thread does
  // not mix silence while the game stands still.
  function restSound() {
    if (audio && !playing && audio.state === 'running') audio.suspend().catch(() => {});
  }

  function finishSound() {
    if (soundDone) { const resolve = soundDone; soundDone = null; resolve(); }
  }

  function base64(bytes) {
    let text = '';
    for (let i = 0; i < bytes.length; i += 8192) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
    return btoa(text);
  }

  // 1 a full storage, 2 a storage the browser refuses, 3 anything else.
  function faultOf(error) {
    if (error && (error.name === 'QuotaExceededError' || error.code === 22)) return 1;
    if (error && error.name === 'SecurityError') return 2;
    return 3;
  }

  function byteOf(code) {
    if (code >= 0x20 && code < 0x7F) return code;
    if (code >= 0xA0 && code <= 0xFF) return code;
    const high = HighControls.indexOf(code);
    return code !== 0 && high >= 0 ? 0x80 + high : -1;
  }

  // The name takes only characters the desktop's code page can store, 13 of
  // them; what else is typed or pasted is left out before the limit counts.
  function storable(text) {
    return Array.from(text).filter((c) => byteOf(c.codePointAt(0)) >= 0).join('');
  }

  function keepStorableTyping(event) {
    if (event.data === null || event.data === undefined) return;
    const kept = storable(event.data);
    if (kept === event.data) return;
    event.preventDefault();
    const start = nameInput.selectionStart, end = nameInput.selectionEnd;
    const room = Math.max(0, 13 - (nameInput.value.length - (end - start)));
    nameInput.setRangeText(kept.slice(0, room), start, end, 'end');
  }

  function keepStorable() {
    const typed = nameInput.value;
    const kept = storable(typed).slice(0, 13);
    if (kept !== typed) {
      const caret = Math.max(0, (nameInput.selectionStart || 0) - (typed.length - kept.length));
      nameInput.value = kept;
      nameInput.setSelectionRange(caret, caret);
    }
  }

  function pageMessage(text) {
    const box = document.createElement('dialog');
    box.className = 'page-message';
    const line = document.createElement('p');
    line.textContent = text;
    const answers = document.createElement('p');
    answers.className = 'answers';
    const ok = document.createElement('button');
    ok.type = 'button';
    ok.textContent = 'OK';
    ok.addEventListener('click', () => { box.close(); box.remove(); });
    answers.append(ok);
    box.append(line, answers);
    document.body.append(box);
    box.showModal();
    ok.focus();
  }

  function storedTable() {
    try {
      return localStorage.getItem('VORN.DAT');
    } catch (error) {
      return null;
    }
  }

  function saveTable() {
    const text = storedTable();
    if (text === null) {
      pageMessage('There is no VORN.DAT to save yet: the game writes it on its first start.');
      return;
    }
    const bytes = Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
    link.download = 'VORN.DAT';
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  }

  // The offered file is checked by the game's own start-up load; a table it
  // accepts is stored and the game starts anew with it.
  async function loadTable(file) {
    const bytes = new Uint8Array(await file.arrayBuffer());
    if (!moduleHeap || typeof Module._CheckOfferedTable !== 'function') {
      pageMessage('VORN.DAT was not loaded: the game has not started yet.');
      return;
    }
    if (bytes.length > Module._OfferedTableRoom()) {
      pageMessage(`VORN.DAT was not loaded: "${file.name}" is far too long to be a high-score table.`);
      return;
    }
    moduleHeap().set(bytes, Module._OfferedTableBytes());
    if (!Module._CheckOfferedTable(bytes.length)) {
      pageMessage(`VORN.DAT was not loaded: "${file.name}" is damaged or is no high-score table ` +
                  '(its guard line or its checksum is wrong), so the game would replace it with the default table.');
      return;
    }
    const fault = QV.storeItem('VORN.DAT', bytes);
    if (fault !== 0) {
      pageMessage(fault === 1 ? 'VORN.DAT was not loaded: the browser\'s storage for this page is full.'
                              : 'VORN.DAT was not loaded: this browser does not let the page store it.');
      return;
    }
    location.reload();
  }

  function setUpPage() {
    document.addEventListener('keydown', (event) => {
      startSound();
      if (modal || over || folded) return;
      const key = VirtualKeys[event.code];
      if (key === undefined) return;
      event.preventDefault();
      push(Event.Key, key);
    });
    canvas.addEventListener('pointerdown', (event) => {
      startSound();
      if (event.button !== 0 || modal || over) return;
      const [x, y] = gamePoint(event);
      if (folded) {
        if (onCaption(x, y)) {
          folded = false;
          layout();
          push(Event.Unfold);
        }
        return;
      }
      push(Event.Press, x, y);
      // As on Windows, a caption press starts a move once the game has seen it.
      if (onCaption(x, y)) {
        drag = {clientX: event.clientX, clientY: event.clientY, offset: offset.slice()};
        canvas.setPointerCapture(event.pointerId);
      }
    });
    canvas.addEventListener('pointermove', (event) => {
      if (!drag) return;
      // The picture moves by whole game pixels, so it stays on device pixels.
      const k = place.k, r = place.r;
      const dx = Math.round((event.clientX - drag.clientX) * r / k);
      const dy = Math.round((event.clientY - drag.clientY) * r / k);
      const moved = [drag.offset[0] + dx, drag.offset[1] + dy];
      const before = offset;
      offset = moved;
      layout();
      // The caption stays within reach inside the page.
      const viewWidth = window.innerWidth * r, viewHeight = window.innerHeight * r;
      if (place.left + 40 * k > viewWidth || place.left + (Width - 40) * k < 0 || place.top < 0 ||
          place.top + Caption * k > viewHeight) {
        offset = before;
        layout();
      }
    });
    canvas.addEventListener('pointerup', (event) => {
      if (event.button !== 0) return;
      if (drag) {
        drag = null;  // the move ends with the release, which the game never sees
        return;
      }
      if (modal || over || folded) return;
      const [x, y] = gamePoint(event);
      push(Event.Release, x, y);
    });
    canvas.addEventListener('pointercancel', () => { drag = null; });
    window.addEventListener('blur', () => push(Event.Focus, 0));
    window.addEventListener('focus', () => { if (!folded) push(Event.Focus, 1); });
    document.addEventListener('visibilitychange', () => { if (document.hidden) push(Event.Focus, 0); });
    window.addEventListener('resize', layout);

    for (const button of nameDialog.querySelectorAll('button[data-command]')) {
      button.addEventListener('click', () => {
        if (nameDialog.dataset.sent) return;
        nameDialog.dataset.sent = '1';
        push(Event.Command, Number(button.dataset.command));
      });
    }
    nameInput.addEventListener('beforeinput', keepStorableTyping);
    nameInput.addEventListener('input', keepStorable);
    nameDialog.addEventListener('keydown', (event) => {
      // Return in the name presses the default button, "Play again".
      if (event.key === 'Enter' && event.target === nameInput) {
        event.preventDefault();
        nameDialog.querySelector('button[data-command="901"]').click();
      }
    });
    // Escape is the dialog's cancel, which the game ignores: it stays open.
    nameDialog.addEventListener('cancel', (event) => event.preventDefault());

    document.getElementById('start-again').addEventListener('click', () => location.reload());
    document.getElementById('save-table').addEventListener('click', saveTable);
    const picker = document.getElementById('table-file');
    document.getElementById('load-table').addEventListener('click', () => picker.click());
    picker.addEventListener('change', () => {
      const file = picker.files && picker.files[0];
      picker.value = '';
      if (file) loadTable(file);
    });
    layout();
    if ('serviceWorker' in navigator && window.isSecureContext) {
      navigator.serviceWorker.register('sw.js').catch(() => {});
    }
  }

  return {
    tabNumber: Math.floor(Math.random() * 1e9),  // the temporary file's "process" number
    shown: 0,        // when the last handled message's picture was complete
    shownCount: 0,   // how many have been

    open(heap) {
      performance.mark('quarvelle-main');  // for the benchmark's breakdown
      moduleHeap = heap;
    },
    takeEvent() {
      const event = queue.shift();
      if (event && event[0] === Event.Tick) timer.pending = false;
      return event || null;
    },
    eventArrived() { return queue.length ? Promise.resolve() : new Promise((resolve) => { wake = resolve; }); },
    noteShown() { QV.shown = performance.now(); QV.shownCount += 1; },
    // When the start-up's picture was whole, and the frame that showed it, in
    // milliseconds since the navigation began.
    firstPicture: 0,
    firstFrame: 0,
    noteFirstPicture() {
      QV.firstPicture = performance.now();
      requestAnimationFrame(() => { QV.firstFrame = performance.now(); });
    },
    origin() { return [Math.round(place.left / place.k), Math.round(place.top / place.k)]; },
    fold() { folded = true; drag = null; layout(); },
    ended() {
      over = true;
      QV.stopTimer();
      picture.hidden = true;
      document.getElementById('ended').hidden = false;
      document.getElementById('start-again').focus();
    },
    post(message, wParam) { push(Event.Posted, message, wParam); },

    // At most one tick waits in the queue; a new period or a stop drops it.
    armTimer(periodMs) {
      QV.stopTimer();
      timer.handle = setInterval(() => {
        if (!timer.pending) { timer.pending = true; push(Event.Tick); }
      }, periodMs);
    },
    stopTimer() {
      if (timer.handle) clearInterval(timer.handle);
      timer.handle = 0;
      timer.pending = false;
      for (let i = queue.length - 1; i >= 0; i -= 1) if (queue[i][0] === Event.Tick) queue.splice(i, 1);
    },

    // The game keeps picture `name` as number `id`; names are found without
    // regard to case, as the desktop's resources are.
    offerPicture(id, name) { named[id] = name.toLowerCase(); pictures[id] = null; },
    dropPicture(id) { pictures[id] = null; delete named[id]; },
    // 1 when picture `id` can be drawn now (or there is none to wait for).
    pictureReady(id) {
      if (pictures[id] || !(id in named)) return 1;
      const decoded = picturesByName[named[id]];
      if (decoded && decoded.bitmap) pictures[id] = decoded.bitmap;
      return pictures[id] ? 1 : 0;
    },
    pictureDecoded(id) {
      return picturesArrived.then(() => {
        const decoded = picturesByName[named[id]];
        return decoded ? decoded.done : null;
      }).then(() => { QV.pictureReady(id); });
    },
    decodeFont(bytes, pixels) {
      fontSize = pixels;
      const face = new FontFace('Quarvelle Sans', bytes.buffer);
      fontLoading = face.load().then((loaded) => { document.fonts.add(loaded); }, () => {}).then(() => {
        context.font = `${fontSize}px "Quarvelle Sans"`;
        context.textBaseline = 'alphabetic';
        context.fillStyle = '#000000';
        fontLoading = null;
      });
    },
    fontReady() { return fontLoading ? 0 : 1; },
    fontDecoded() { return fontLoading || Promise.resolve(); },
    drawPicture(id, x, y, w, h) {
      const bitmap = pictures[id];
      if (!bitmap) return;
      const width = Math.min(w, bitmap.width), height = Math.min(h, bitmap.height);
      if (width > 0 && height > 0) context.drawImage(bitmap, 0, 0, width, height, x, y, width, height);
    },
    textWidth(text) { return Math.round(context.measureText(text).width); },
    drawText(x, y, text) { context.fillText(text, x, y); },
    from1252(bytes) { return decoder.decode(bytes); },
    to1252(text) {
      const bytes = [];
      for (const c of text) {
        const byte = byteOf(c.codePointAt(0));
        bytes.push(byte >= 0 ? byte : 0x3F);
      }
      return Uint8Array.from(bytes);
    },

    offerSound(cue, bytes) { waves[cue] = bytes; },
    // The cues decoded so far, once the sound has started.
    decodedSounds() { return Object.keys(sounds).map(Number).sort(); },
    // 1 when the cue now sounds, 0 without sound (nothing to wait for).
    playSound(cue) {
      if (!audio || !soundStarted || audio.state === 'closed' || !sounds[cue]) return 0;
      if (audio.state === 'suspended') audio.resume().catch(() => {});
      if (playing) {
        playing.onended = null;
        try { playing.stop(); } catch (error) { /* already ended */ }
        playing = null;
        finishSound();
      }
      const source = audio.createBufferSource();
      source.buffer = sounds[cue];
      source.connect(audio.destination);
      source.onended = () => {
        if (playing === source) playing = null;
        finishSound();
        restSound();
      };
      source.start();
      playing = source;
      return 1;
    },
    // A sound that never reports its end must not hang the game.
    soundEnded() {
      const length = playing ? playing.buffer.duration * 1000 : 0;
      return new Promise((resolve) => {
        soundDone = resolve;
        setTimeout(finishSound, length + 500);
      });
    },

    loadItem(name) {
      let text;
      try {
        text = localStorage.getItem(name);
      } catch (error) {
        return null;
      }
      if (text === null) return null;
      try {
        return Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
      } catch (error) {
        return new Uint8Array(0);  // not base64: a damaged file
      }
    },
    storeItem(name, bytes) {
      try {
        localStorage.setItem(name, base64(bytes));
        return 0;
      } catch (error) {
        return faultOf(error);
      }
    },
    moveItem(from, to) {
      try {
        const text = localStorage.getItem(from);
        if (text === null) return 3;
        localStorage.setItem(to, text);
        localStorage.removeItem(from);
        return 0;
      } catch (error) {
        return faultOf(error);
      }
    },
    itemExists(name) {
      try { return localStorage.getItem(name) !== null ? 1 : 0; } catch (error) { return 0; }
    },
    removeItem(name) {
      try { localStorage.removeItem(name); } catch (error) { /* nothing was stored */ }
    },
    // Resolves to 1 once the lock is held (until releaseLock), to 0 when it
    // was not had within waitMs or the browser has no locks.
    takeLock(name, waitMs) {
      if (!navigator.locks || heldLock) return Promise.resolve(0);
      return new Promise((resolve) => {
        const giveUp = new AbortController();
        const timer = setTimeout(() => giveUp.abort(), waitMs);
        navigator.locks.request(name, { signal: giveUp.signal }, () => {
          clearTimeout(timer);
          resolve(1);
          return new Promise((release) => { heldLock = release; });
        }).catch(() => resolve(0));
      });
    },
    releaseLock() {
      const release = heldLock;
      heldLock = null;
      if (release) release();
    },
    storageUsable() {
      try {
        return localStorage && typeof localStorage.length === 'number' ? 1 : 0;
      } catch (error) {
        return 0;
      }
    },

    // 1 when the box shows; its answer arrives as an event.
    openBox(text, caption, buttons) {
      const set = BoxButtons[buttons];
      if (!set) return 0;
      const box = document.createElement('dialog');
      box.className = 'message-box';
      const title = document.createElement('h2');
      title.textContent = caption;
      const line = document.createElement('p');
      line.textContent = text;
      const answers = document.createElement('p');
      answers.className = 'answers';
      const answer = (value) => {
        box.close();
        box.remove();
        modal -= 1;
        push(Event.Answer, value);
      };
      for (const [label, value] of set.buttons) {
        const button = document.createElement('button');
        button.type = 'button';
        button.textContent = label;
        button.addEventListener('click', () => answer(value));
        answers.append(button);
      }
      box.addEventListener('cancel', (event) => {
        event.preventDefault();
        if (set.escape !== null) answer(set.escape);
      });
      box.addEventListener('keydown', (event) => {
        if (event.key === 'Enter' && event.target.tagName !== 'BUTTON') {
          event.preventDefault();
          answers.firstChild.click();
        }
      });
      box.append(title, line, answers);
      document.body.append(box);
      modal += 1;
      drag = null;
      box.showModal();
      answers.firstChild.focus();
      return 1;
    },
    openNameDialog() {
      nameInput.value = '';
      delete nameDialog.dataset.sent;
      modal += 1;
      drag = null;
      nameDialog.showModal();
      nameInput.focus();  // the player types the name at once
      return 1;
    },
    closeNameDialog() {
      nameDialog.close();
      modal -= 1;
    },
    typedName() { return nameInput.value; },

    setUpPage,
  };
})();

var Module = {
  print: (text) => console.log(text),
  printErr: (text) => console.error(text),
};

QV.setUpPage();
