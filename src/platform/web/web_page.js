// What the page does for the game around the program (Emscripten's --pre-js): the settings
// folder kept in the browser, sound once the player has touched the page, the status line,
// full screen, the boss key's blank page and the end of the program.
// SDL's browser audio and event code call these two Emscripten helpers, which its own
// Emscripten "port" brings and a library built from SDL's source does not.
// Browsers let a page make sound only after the player has pressed something on it: the audio
// is resumed on the first key, click or touch.
function autoResumeAudioContext(context) {
  if (!context || context.state !== "suspended") return;
  function resume() {
    if (context.state === "suspended") context.resume();
    ["keydown", "mousedown", "touchstart"].forEach(function (type) {
      document.removeEventListener(type, resume, true);
    });
  }
  ["keydown", "mousedown", "touchstart"].forEach(function (type) {
    document.addEventListener(type, resume, true);
  });
}
function dynCall(signature, pointer, args) {
  return Module["dynCall_" + signature].apply(null, [pointer].concat(args || []));
}

(function () {
  var status = document.getElementById("status");
  function say(text) {
    if (!status) return;
    status.textContent = text;
    status.style.display = text ? "" : "none";
  }

  Module.preRun = Module.preRun || [];
  Module.setStatus = function (text) {
    // Emscripten's download progress ("Downloading data... (n/m)"); empty once it has run.
    say(text ? text.replace(/\(([0-9]+)\/([0-9]+)\)/, "") : "");
  };
  Module.monitorRunDependencies = function () {};
  Module.onExit = function () {
    Module.starmoatEnded = true;
    say("Starmoat has ended. Reload the page to play again.");
    Module.canvas.style.visibility = "hidden";
  };
  Module.onAbort = function (what) {
    Module.starmoatEnded = true;
    say("Starmoat stopped: " + what + ". Reload the page to start again.");
  };

  // /save holds Config.cfg and replays/, kept in IndexedDB. It is read before the program
  // starts, and written back after every file the program closes, renames or removes there, so
  // a reload or a closed tab keeps what the desktop game would have on its disk.
  Module.preRun.push(function () {
    FS.mkdir("/save");
    FS.mount(IDBFS, {}, "/save");
    addRunDependency("starmoat-save");
    FS.syncfs(true, function (error) {
      if (error) console.warn("Starmoat: the saved settings could not be read:", error);
      removeRunDependency("starmoat-save");
    });

    // Written back once the program has yielded: a save is a temporary file closed and then
    // renamed within one turn of the program, and the copy must see the renamed file.
    var syncing = false, again = false, planned = false;
    function writeBack() {
      if (planned) return;
      planned = true;
      setTimeout(function () {
        planned = false;
        if (syncing) { again = true; return; }
        syncing = true;
        FS.syncfs(false, function (error) {
          if (error) console.warn("Starmoat: the settings could not be kept:", error);
          syncing = false;
          if (again) { again = false; writeBack(); }
        });
      }, 0);
    }
    function inSave(path) { return typeof path === "string" && path.indexOf("/save/") === 0; }
    var close = FS.close, rename = FS.rename, unlink = FS.unlink, rmdir = FS.rmdir;
    FS.close = function (stream) {
      var wrote = (stream.flags & 3) !== 0 && inSave(stream.path);
      var result = close.apply(this, arguments);
      if (wrote) writeBack();
      return result;
    };
    FS.rename = function (from, to) {
      var result = rename.apply(this, arguments);
      if (inSave(from) || inSave(to)) writeBack();
      return result;
    };
    FS.unlink = function (path) {
      var result = unlink.apply(this, arguments);
      if (inSave(path)) writeBack();
      return result;
    };
    FS.rmdir = function (path) {
      var result = rmdir.apply(this, arguments);
      if (inSave(path)) writeBack();
      return result;
    };
  });

  // Browsers let a page make sound only after the player has pressed something on it.
  function wakeSound() {
    var sdl = Module.SDL2;
    if (sdl && sdl.audioContext && sdl.audioContext.state === "suspended") sdl.audioContext.resume();
  }

  // Full screen is the browser's own, over the page's screen element, in which index.html
  // scales the canvas. Browsers grant it only within a key or click: Alt+Enter asks for it in
  // its own key handler (the key is not passed to the game, which learns of the change as
  // below). A request the game makes on its own turn (the options page's "Display", settings
  // that start full screen) that the browser refuses is asked again at the next key or click,
  // and given up when refused there too. Every change is told to the game, Esc leaving it
  // included (the browser's own key), so its setting and Config.cfg follow what the page shows.
  var wantFull = false, asking = false;
  function screenElement() { return document.getElementById("screen") || Module.canvas; }
  function tellGame(full) {
    if (Module._starmoat_web_full_screen && !Module.starmoatEnded) {
      Module._starmoat_web_full_screen(full ? 1 : 0);
    }
  }
  function giveUpFullScreen(why) {
    console.warn("Starmoat: the browser refused full screen:", why);
    wantFull = false;
    // Not from inside the game's own call that asked.
    setTimeout(function () { if (!document.fullscreenElement) tellGame(false); }, 0);
  }
  function askFullScreen(inKeyOrClick) {
    if (!wantFull || asking || document.fullscreenElement || Module.starmoatHidden) return;
    if (!document.fullscreenEnabled) { giveUpFullScreen("not allowed for this page"); return; }
    asking = true;
    screenElement().requestFullscreen().then(function () {
      asking = false;
    }, function (error) {
      asking = false;
      if (inKeyOrClick) giveUpFullScreen(error);
    });
  }
  function leaveFullScreen() {
    if (document.fullscreenElement) document.exitFullscreen().catch(function () {});
  }
  Module.starmoatFullScreen = function (full) {
    wantFull = full;
    if (full) askFullScreen(false);
    else if (!Module.starmoatHidden) leaveFullScreen();
  };
  window.addEventListener("keydown", function (event) {
    if (Module.starmoatHidden) return;  // the key that shows the game again, below
    if (event.key === "Enter" && event.altKey) {
      event.stopImmediatePropagation();
      event.preventDefault();
      if (event.repeat) return;
      if (document.fullscreenElement) {
        wantFull = false;
        leaveFullScreen();
      } else {
        wantFull = true;
        askFullScreen(true);
      }
      return;
    }
    askFullScreen(true);
  }, true);
  window.addEventListener("mousedown", function () { askFullScreen(true); }, true);
  document.addEventListener("fullscreenchange", function () {
    // Left for the boss key's blank page: the game keeps its mode, and the key or click that
    // shows it again asks for full screen again.
    if (Module.starmoatHidden) return;
    var full = document.fullscreenElement !== null;
    wantFull = full;
    tellGame(full);
    keepSettings();
  });

  // The boss key: the page shows nothing but a blank and leaves full screen, and the game
  // stands still behind it (web_page.cpp); the next key or click brings the game back, full
  // screen again if it was, on its pause screen, and is not passed to the game.
  Module.starmoatHidden = false;
  Module.starmoatHide = function () {
    Module.starmoatHidden = true;
    Module.canvas.style.visibility = "hidden";
    var help = document.getElementById("help");
    if (help) help.style.visibility = "hidden";
    leaveFullScreen();
    document.title = "\u200b";
  };
  function showAgain(event) {
    wakeSound();
    if (!Module.starmoatHidden) return;
    event.stopImmediatePropagation();
    event.preventDefault();
    Module.starmoatHidden = false;
    Module.canvas.style.visibility = "";
    var help = document.getElementById("help");
    if (help) help.style.visibility = "";
    document.title = "Starmoat";
    // A game in full screen comes back to it, as a full-screen window restored does.
    askFullScreen(true);
    if (Module._starmoat_web_restored) Module._starmoat_web_restored();
  }
  ["keydown", "mousedown", "touchstart"].forEach(function (type) {
    window.addEventListener(type, showAgain, true);
  });

  // The settings are kept (Config.cfg, then IndexedDB) after every key or click that may have
  // changed them, and when the page is hidden: a tab is closed, never exited. The program
  // takes the request up between frames and writes only what changed.
  function keepSettings() {
    if (Module._starmoat_web_keep_settings && !Module.starmoatEnded) Module._starmoat_web_keep_settings();
  }
  ["keyup", "mouseup", "touchend"].forEach(function (type) {
    window.addEventListener(type, keepSettings);
  });
  document.addEventListener("visibilitychange", function () {
    if (document.visibilityState === "hidden") keepSettings();
  });
  window.addEventListener("keyup", function (event) {
    if (Module.starmoatHidden) event.stopImmediatePropagation();
  }, true);
})();
