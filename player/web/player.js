// The page side of the tool's SWF player. The application drives it through the
// web channel object "host": it sends movies and commands (each with a sequence
// number) and receives, whenever something changes, the state of the movie
// together with the number of the last command carried out.
"use strict";

(() => {
  const kTickMs = 50;
  // A movie given the control script registers its callbacks when frame 1 runs;
  // one that has not done so after running this long, shown, never will (the
  // script failed), and is followed by estimate from then on.
  const kCallbackWaitMs = 5000;
  // See Movie.restart.
  const kHoldAfterMs = 1500;
  // A movie whose callbacks keep failing for this many reports in a row (its
  // player broke down) is followed by estimate from then on.
  const kFailedReportsAllowed = 20;
  const kFlashMethods = ["TotalFrames", "CurrentFrame", "GotoFrame", "IsPlaying", "Play", "StopPlay"];

  let host = null;
  let stage = null;
  let movie = null;  // the movie now loaded, or null
  let lastReport = "";

  function hasFlashMethods(element) {
    return kFlashMethods.every((name) => typeof element[name] === "function");
  }

  function playerConfig(m) {
    return {
      autoplay: "on",
      splashScreen: false,
      unmuteOverlay: "hidden",
      contextMenu: "off",
      letterbox: "on",
      scale: "showAll",
      quality: "high",
      openUrlMode: "deny",
      allowNetworking: m.scripted ? "all" : "internal",
      // ExternalInterface callbacks reach the page only when the movie may script it.
      allowScriptAccess: m.scripted,
      warnOnUnsupportedContent: false,
      showSwfDownload: false,
      swfFileName: m.name,
    };
  }

  class Movie {
    constructor(seq, scripted, name, frameRate, totalFrames) {
      this.seq = seq;
      this.ack = seq;
      this.scripted = scripted;
      this.name = name;
      this.frameRate = frameRate;
      this.totalFrames = totalFrames;
      this.data = null;
      this.element = null;
      this.started = false;  // Ruffle has the movie
      this.waitedMs = 0;  // for the callbacks
      this.lastTick = 0;
      this.failed = false;  // Ruffle could not take it
      this.failedReports = 0;
      this.pending = [];  // commands that arrived before the movie could take them
      // How the movie is followed: "wait" for its callbacks, "flash" through the
      // element's Flash-style methods (Ruffle's own or the control script's),
      // or "estimate" from the time it has played.
      this.mode = "wait";
      this.playing = true;
      this.held = false;  // loaded anew and held on its first frame
      this.loading = Promise.resolve();
      this.generation = 0;  // of the loads into the element
      this.releasable = false;  // see load
      this.released = false;
      this.playedMs = 0;
      this.resumedAt = 0;
    }

    async start() {
      const element = window.RufflePlayer.newest().createPlayer();
      this.element = element;
      stage.replaceChildren(element);
      if (!this.scripted && hasFlashMethods(element)) this.mode = "flash";
      else if (!this.scripted) this.mode = "estimate";
      await this.load({});
      if (movie !== this) return;
      this.started = true;
      this.lastTick = performance.now();
    }

    // Loads the movie into the element, after any load still under way. Ruffle's
    // first tick after a load makes up for all the time since the page began,
    // running several frames at once; so the new instance is suspended as soon
    // as it has the movie, and released by tick two animation frames later,
    // after the commands that came meanwhile, to start from its first frame.
    load(options) {
      const run = async () => {
        if (movie !== this) return;
        const element = this.element;
        const generation = ++this.generation;
        this.released = false;
        this.releasable = false;
        element.addEventListener("loadedmetadata", () => {
          if (this.generation !== generation) return;
          element.ruffle().suspend();
          requestAnimationFrame(() => requestAnimationFrame(() => {
            if (this.generation === generation) this.releasable = true;
          }));
        }, { once: true });
        await element.ruffle().load({ data: this.data.slice(0), ...playerConfig(this), ...options });
        if (this.generation === generation && this.held) element.volume = 0;
      };
      this.loading = this.loading.then(run, run);
      return this.loading;
    }

    release() {
      this.released = true;
      // A stop before this point has made a held start (see apply).
      this.element.ruffle().resume();
      this.resumedAt = performance.now();
      if (this.held) {
        const generation = this.generation;
        setTimeout(() => {
          if (movie === this && this.generation === generation && this.held) this.element.ruffle().suspend();
        }, kHoldAfterMs);
      }
    }

    frameByTime(now) {
      const ms = this.playedMs + (this.playing && this.released ? now - this.resumedAt : 0);
      const frame = Math.floor((ms * this.frameRate) / 1000);
      return this.totalFrames > 0 ? frame % this.totalFrames : 0;
    }

    // Carries out one command; false when the movie cannot take it yet.
    apply(command) {
      if (this.mode === "wait") return false;
      const el = this.element;
      if (this.mode === "flash") {
        if (command.name === "play") el.Play();
        else if (command.name === "stop") el.StopPlay();
        else if (command.name === "goto") el.GotoFrame(command.frame);
        return true;
      }
      // ActionScript 3 timelines cannot be driven from outside in this Ruffle:
      // only the whole player can be suspended and resumed, and the only way
      // back to the first frame is loading the movie anew.
      const now = performance.now();
      if (command.name === "play" && this.held) {
        this.restart(false);
      } else if (command.name === "play" && !this.playing) {
        el.ruffle().resume();
        this.playing = true;
        this.resumedAt = now;
      } else if (command.name === "stop" && this.playing && !this.released) {
        // Too early to stop it on its first frame: that needs the held start.
        this.restart(true);
      } else if (command.name === "stop" && this.playing) {
        el.ruffle().suspend();
        this.playedMs += now - this.resumedAt;
        this.playing = false;
      } else if (command.name === "goto" && command.frame === 0 && !this.held) {
        this.restart(true);
      }
      return true;
    }

    // Loads the movie anew, playing or held on its first frame. Ruffle runs a
    // frame only once a frame's time has passed, so a held movie runs, silent,
    // at one frame a second and is stopped half-way to its second frame.
    // Playing on from there loads it once more at its own rate.
    restart(held) {
      this.held = held;
      this.playing = !held;
      this.playedMs = 0;
      this.load(held ? { frameRate: 1 } : {});
    }

    tick(now) {
      if (this.failed) {
        // Nothing will ever carry the commands out; say they are done with.
        while (this.pending.length > 0) this.ack = this.pending.shift().seq;
        return;
      }
      if (!this.started) return;
      if (this.mode === "wait") {
        // Hidden pages get no animation frames, so Ruffle runs nothing then.
        if (this.released && document.visibilityState === "visible") this.waitedMs += now - this.lastTick;
        if (hasFlashMethods(this.element)) this.mode = "flash";
        else if (this.waitedMs > kCallbackWaitMs) this.mode = "estimate";
      }
      this.lastTick = now;
      while (this.pending.length > 0 && this.apply(this.pending[0])) this.ack = this.pending.shift().seq;
      if (this.releasable && !this.released) this.release();
    }

    state(now) {
      if (this.failed) return { frame: 0, total: this.totalFrames, playing: false };
      let frame = 0;
      let total = this.totalFrames;
      let playing = this.playing;
      if (this.mode === "flash") {
        frame = Number(this.element.CurrentFrame());
        total = Number(this.element.TotalFrames());
        playing = Boolean(this.element.IsPlaying());
      } else if (this.mode === "estimate") {
        frame = this.frameByTime(now);
      }
      return { frame, total, playing };
    }
  }

  function report() {
    if (!host) return;
    const now = performance.now();
    let s = { movie: 0, ack: 0, mode: "none", running: false, frame: 0, total: 0, playing: false };
    if (movie) {
      try {
        movie.tick(now);
        s = { movie: movie.seq, ack: movie.ack, mode: movie.mode, running: movie.started, ...movie.state(now) };
        movie.failedReports = 0;
      } catch (e) {
        console.error("Pavona player: " + e);
        if (++movie.failedReports > kFailedReportsAllowed) movie.mode = "estimate";
        return;
      }
    }
    if (!Number.isFinite(s.frame)) s.frame = 0;
    if (!Number.isFinite(s.total)) s.total = 0;
    const key = JSON.stringify(s);
    if (key === lastReport) return;
    lastReport = key;
    host.report(s.movie, s.ack, s.mode, s.running, s.frame, s.total, s.playing);
  }

  async function load(seq, scripted, base64, name, frameRate, totalFrames) {
    const m = new Movie(seq, scripted, name, frameRate, totalFrames);
    movie = m;
    try {
      const response = await fetch("data:application/x-shockwave-flash;base64," + base64);
      m.data = await response.arrayBuffer();
      if (movie !== m) return;
      await m.start();
    } catch (e) {
      if (movie !== m) return;
      m.failed = true;
      host.failed(seq, String(e));
    }
    report();
  }

  function unload(seq) {
    movie = null;
    stage.replaceChildren();
    lastReport = "";
    host.report(seq, seq, "none", false, 0, 0, false);
  }

  function command(seq, name, frame) {
    if (!movie) return;
    movie.pending.push({ seq, name, frame });
    report();
  }

  window.addEventListener("DOMContentLoaded", () => {
    stage = document.getElementById("stage");
    new QWebChannel(qt.webChannelTransport, (channel) => {
      host = channel.objects.host;
      host.loadMovie.connect(load);
      host.unloadMovie.connect(unload);
      host.command.connect(command);
      const probe = window.RufflePlayer.newest().createPlayer();
      host.ready(hasFlashMethods(probe));
      setInterval(report, kTickMs);
    });
  });
})();
