// The time left on the pupil's page. The teacher's computer counts the time and says, with each
// answer of the server, how many seconds are left; between two answers this page only counts
// down for the display and never decides the end: at zero it asks the server, which ends the
// copy. Calm: minutes only, no red, no blinking; a screen reader hears a sentence every five
// minutes, then at five minutes and at one minute, never every second.
'use strict';

window.NeloTime = (function () {
  const step = 300;       // seconds between two announcements above five minutes
  const lastMinute = 60;
  let deadline = 0;       // performance.now() at which the server's count reaches zero
  let ticking = 0;
  let lastMilestone = null;
  let atZero = null;      // asked of the page when the count shown reaches zero

  const $ = (id) => document.getElementById(id);

  function milestoneOf(seconds) {
    if (seconds <= 0) return 0;
    if (seconds <= lastMinute) return lastMinute;
    return Math.ceil(seconds / step) * step;
  }

  function durationText(seconds) {
    const minutes = Math.ceil(Math.max(0, seconds) / 60);
    if (minutes < 60) return minutes + ' min';
    return Math.floor(minutes / 60) + ' h' + (minutes % 60 ? ' ' + (minutes % 60) + ' min' : '');
  }

  function shownText(seconds) {
    if (seconds <= 0) return 'Temps écoulé';
    if (seconds < lastMinute) return 'Temps restant : moins d\'une minute';
    return 'Temps restant : ' + durationText(seconds);
  }

  function announce(seconds) {
    const milestone = milestoneOf(seconds);
    if (milestone === lastMilestone) return;
    const countingDown = lastMilestone !== null && milestone < lastMilestone;
    lastMilestone = milestone;
    let text;
    if (milestone === 0) text = 'Temps écoulé. Vos réponses sont enregistrées.';
    else if (milestone === lastMinute) text = seconds < lastMinute ? 'Attention : il reste moins d\'une minute.' : 'Attention : il reste 1 minute.';
    else if (milestone === step && countingDown) text = 'Attention : il reste 5 minutes.';
    else text = 'Il reste ' + durationText(countingDown ? milestone : seconds) + '.';
    $('time-spoken').textContent = text;
  }

  function secondsLeft() {
    return Math.max(0, Math.ceil((deadline - performance.now()) / 1000));
  }

  function draw() {
    const left = secondsLeft();
    const box = $('time-left');
    const text = shownText(left);
    if (box.textContent !== text) box.textContent = text;
    box.classList.toggle('soon', left <= step);
    announce(left);
    if (left === 0) {
      clearInterval(ticking);
      ticking = 0;
      if (atZero) atZero();
    }
  }

  // A response of the server: its "timeLeft" sets the count again; without it the copy is not
  // timed (or is over) and nothing shows.
  function follow(body) {
    if (!body || typeof body.timeLeft !== 'number') return;
    deadline = performance.now() + body.timeLeft * 1000;
    $('time-left').hidden = false;
    if (!ticking) ticking = setInterval(draw, 1000);
    draw();
  }

  function stop() {
    clearInterval(ticking);
    ticking = 0;
    $('time-left').hidden = true;
  }

  function onZero(callback) {
    atZero = callback;
  }

  return {follow: follow, stop: stop, onZero: onZero};
}());
