// The pupil's page: joins the session with its code and a name, then shows one question at a
// time. Every answer goes into a queue kept in the browser's storage and is sent at once; what
// the network could not take is sent again when it comes back, and a reload, a closed tab
// reopened or a phone that slept finds the same run at the same question.
// Every text from the questionnaire or from a pupil is shown as text, never as HTML.
'use strict';

(function () {
  const storageKey = 'nelo-qcm-run:' + location.host;
  const retryMs = [1000, 2000, 4000, 8000, 10000];
  const stateCheckMs = 15000;
  // An end page waiting for the corrections the teacher keeps for the end of the run.
  const correctionsCheckMs = 5000;
  const waitingCheckMs = 2000;

  // A queued answer is {position, choice, seq}, or {position, choices: [places], seq} on a
  // question with several right answers.
  let run = loadRun();        // {token, name, position, seq, queue: [answer]}
  let code = '';
  let current = null;         // the question shown
  let answered = [];          // by position, as far as this page knows
  let sending = false;
  let failures = 0;
  let retryTimer = 0;
  let finishing = false;
  let correctionsTimer = 0;
  let waitingTimer = 0;
  let personalCodes = false;  // the session asks for a personal code instead of a name
  // A run taken live: the teacher's step last drawn ("open:3"), and the next look at it.
  let liveShown = '';
  let liveTimer = 0;
  const liveCheckMs = 1000;

  const $ = (id) => document.getElementById(id);

  function loadRun() {
    try {
      const stored = JSON.parse(localStorage.getItem(storageKey));
      if (stored && typeof stored.token === 'string' && Array.isArray(stored.queue))
        return stored;
    } catch (e) { /* storage refused or damaged: start afresh */ }
    return null;
  }

  function saveRun() {
    try {
      if (run)
        localStorage.setItem(storageKey, JSON.stringify(run));
      else
        localStorage.removeItem(storageKey);
    } catch (e) { /* private browsing: the run lasts as long as the page */ }
  }

  // The one way to the server. Resolves with {status, body}; a network failure gives status 0.
  async function call(path, body) {
    try {
      const response = await fetch(path, {
        method: 'POST',
        headers: {'Content-Type': 'application/json'},
        body: JSON.stringify(body),
        cache: 'no-store',
      });
      let data = {};
      try { data = await response.json(); } catch (e) { /* empty or not JSON */ }
      return {status: response.status, body: data};
    } catch (e) {
      return {status: 0, body: {}};
    }
  }

  function show(page) {
    if (page !== 'waiting-page')
      clearTimeout(waitingTimer);
    for (const id of ['code-page', 'name-page', 'waiting-page', 'live-page', 'question-page', 'confirm-page', 'end-page'])
      $(id).hidden = id !== page;
  }

  function focusTitle(id) {
    const title = $(id);
    if (title)
      title.focus({preventScroll: false});
  }

  function setStatus(text, waiting) {
    const status = $('status');
    if (status.textContent !== text)
      status.textContent = text;
    status.classList.toggle('waiting', !!waiting);
  }

  function refreshStatus() {
    if (!run || !run.queue)
      return;
    const pending = run.queue.length;
    if (pending === 0)
      setStatus(failures > 0 ? '' : 'Vos réponses sont enregistrées.', false);
    else if (failures > 0)
      setStatus(pending === 1 ? 'Connexion perdue : 1 réponse attend d\'être envoyée.'
                              : 'Connexion perdue : ' + pending + ' réponses attendent d\'être envoyées.', true);
    else
      setStatus('Envoi…', false);
  }

  function forget(message) {
    run = null;
    saveRun();
    startJoining(message);
  }

  // The server no longer takes this page's token: the copy went to another device, the teacher
  // removed it or refused it to this device, or the session is another one.
  function turnedAway(body) {
    const message = body && body.error ? body.error : 'Cette passation est fermée. Demandez le code à l\'enseignant.';
    if (body && (body.moved || body.removed)) {
      run = null;
      saveRun();
      setStatus('', false);
      $('end-title').textContent = body.moved ? 'Copie reprise sur un autre appareil' : 'Copie retirée';
      $('end-message').textContent = message;
      $('end-mark').hidden = true;
      $('end-detail').textContent = '';
      $('corrections').replaceChildren();
      show('end-page');
      focusTitle('end-title');
      return;
    }
    if (body && body.refused && code) {
      run = null;
      saveRun();
      show('name-page');
      $('name-error').textContent = message;
      return;
    }
    forget(message);
  }

  // -- Joining ----------------------------------------------------------------------------

  function startJoining(message) {
    show('code-page');
    setStatus('', false);
    const fromAddress = decodeURIComponent(location.hash.replace(/^#/, '')).replace(/\D/g, '').slice(0, 6);
    if (fromAddress && !$('code').value)
      $('code').value = fromAddress;
    $('code-error').textContent = message || '';
    $('code').focus();
  }

  async function submitCode(event) {
    event.preventDefault();
    const typed = $('code').value.replace(/\s/g, '');
    if (!typed) {
      $('code-error').textContent = 'Tapez le code affiché au tableau.';
      return;
    }
    const answer = await call('/api/session', {code: typed});
    if (answer.status !== 200) {
      $('code-error').textContent = answer.body.error || 'Le programme de l\'enseignant ne répond pas. Réessayez.';
      $('code').focus();
      return;
    }
    code = typed;
    personalCodes = answer.body.codes === true;
    $('name-code').hidden = !personalCodes;
    const names = Array.isArray(answer.body.names) && !personalCodes ? answer.body.names : [];
    const list = $('name-list');
    list.replaceChildren();
    if (names.length > 0) {
      list.append(new Option('(choisissez votre nom)', ''));
      for (const name of names)
        list.append(new Option(String(name), String(name)));
      list.append(new Option('Mon nom n\'est pas dans la liste', '\u0000other'));
    }
    $('name-choice').hidden = names.length === 0;
    $('name-typed').hidden = names.length > 0 || personalCodes;
    $('name-error').textContent = '';
    show('name-page');
    (personalCodes ? $('personal') : names.length > 0 ? list : $('name')).focus();
  }

  function chosenName() {
    if ($('name-choice').hidden || $('name-list').value === '\u0000other')
      return $('name').value.trim();
    return $('name-list').value;
  }

  function nameListChanged() {
    const other = $('name-list').value === '\u0000other';
    $('name-typed').hidden = !other;
    if (other)
      $('name').focus();
  }

  async function submitName(event) {
    event.preventDefault();
    const name = personalCodes ? '' : chosenName();
    const personal = personalCodes ? $('personal').value.trim() : '';
    if (!name && !personal) {
      $('name-error').textContent = personalCodes ? 'Tapez votre code personnel.' : 'Indiquez votre nom.';
      return;
    }
    const answer = await call('/api/join', personalCodes ? {code: code, personal: personal} : {code: code, name: name});
    if (answer.status === 202 && typeof answer.body.token === 'string') {
      run = {token: answer.body.token, name: answer.body.name, waiting: true, position: 0, seq: 0, queue: []};
      saveRun();
      showWaiting();
      return;
    }
    if (answer.status !== 200) {
      if (answer.status === 403) {
        startJoining(answer.body.error);
        return;
      }
      $('name-error').textContent = answer.body.error || 'Le programme de l\'enseignant ne répond pas. Réessayez.';
      return;
    }
    run = {token: answer.body.token, name: answer.body.name, position: 0, seq: 0, queue: []};
    saveRun();
    applyState(answer.body);
  }

  // -- Waiting for the teacher ------------------------------------------------------------

  function showWaiting() {
    $('waiting-message').textContent = 'Le nom « ' + (run.name || '') + ' » est déjà dans la passation, sur un autre '
      + 'appareil. L\'enseignant va dire si votre copie continue sur cet appareil.';
    setStatus('', false);
    show('waiting-page');
    focusTitle('waiting-title');
    waitingTimer = setTimeout(checkWaiting, waitingCheckMs);
  }

  async function checkWaiting() {
    if (!run || !run.waiting)
      return;
    const answer = await call('/api/state', {token: run.token});
    if (!run || !run.waiting)
      return;
    if (answer.status === 200) {
      run.waiting = false;
      saveRun();
      applyState(answer.body);
    } else if (answer.status === 401 || answer.status === 403) {
      turnedAway(answer.body);
    } else {
      waitingTimer = setTimeout(checkWaiting, waitingCheckMs);
    }
  }

  function cancelWaiting() {
    // The request leaves the teacher's table: nobody gives the copy to a device that went away.
    if (run && run.waiting)
      call('/api/withdraw', {token: run.token});
    run = null;
    saveRun();
    if (code) {
      show('name-page');
      $('name-error').textContent = '';
    } else {
      startJoining();
    }
  }

  // -- Where the run stands ---------------------------------------------------------------

  async function resume() {
    setStatus('Connexion…', false);
    const answer = await call('/api/state', {token: run.token});
    if (answer.status === 202 && answer.body.waiting) {
      run.waiting = true;
      saveRun();
      return showWaiting();
    }
    if (answer.status === 401 || answer.status === 403)
      return turnedAway(answer.body);
    if (answer.status !== 200) {
      setStatus('Le programme de l\'enseignant ne répond pas : nouvel essai dans un instant.', true);
      setTimeout(resume, 3000);
      return;
    }
    applyState(answer.body, true);
  }

  function applyState(state, resuming) {
    window.NeloTime.follow(state);
    if (state.finished)
      return showEnd(state);
    if (state.ended)
      return showEnded();
    if (state.live)
      return followTeacher();
    answered = Array.isArray(state.answered) ? state.answered.map(Boolean) : [];
    for (const item of run.queue)
      answered[item.position] = hasAnswer(item);
    const position = resuming && Number.isInteger(run.position) ? run.position : state.position || 0;
    showQuestion(Math.min(Math.max(position, 0), Math.max(answered.length - 1, 0)));
    flush();
  }

  async function checkState() {
    if (!run || finishing || $('question-page').hidden)
      return;
    const answer = await call('/api/state', {token: run.token});
    if (answer.status === 401 || answer.status === 403)
      turnedAway(answer.body);
    else if (answer.status === 200 && answer.body.finished)
      showEnd(answer.body);
    else if (answer.status === 200 && answer.body.ended && !answer.body.finished)
      showEnded();
    else if (answer.status === 200 && run.queue.length > 0)
      flush();
    if (answer.status === 200)
      window.NeloTime.follow(answer.body);
  }

  // -- One question -----------------------------------------------------------------------

  async function showQuestion(position) {
    const answer = await call('/api/question', {token: run.token, position: position});
    if (answer.status === 409 || answer.status === 410)
      return resume();
    if (answer.status === 401 || answer.status === 403 || answer.status === 202)
      return answer.status === 202 ? resume() : turnedAway(answer.body);
    if (answer.status !== 200) {
      setStatus('Le programme de l\'enseignant ne répond pas : nouvel essai dans un instant.', true);
      setTimeout(() => showQuestion(position), 3000);
      return;
    }
    current = answer.body;
    window.NeloTime.follow(current);
    run.position = current.position;
    saveRun();
    drawQuestion();
    show('question-page');
    focusTitle('question-title');
  }

  function hasAnswer(item) {
    return Array.isArray(item.choices) ? item.choices.length > 0 : item.choice !== 0;
  }

  // The place chosen at the question shown: the last one queued, else the server's.
  function chosenHere() {
    for (let i = run.queue.length - 1; i >= 0; --i) {
      if (run.queue[i].position === current.position)
        return run.queue[i].choice;
    }
    return current.chosen;
  }

  // The places ticked at the question shown, in order: the last set queued, else the server's.
  function tickedHere() {
    for (let i = run.queue.length - 1; i >= 0; --i) {
      if (run.queue[i].position === current.position && Array.isArray(run.queue[i].choices))
        return run.queue[i].choices.slice();
    }
    return Array.isArray(current.ticked) ? current.ticked.slice() : [];
  }

  function drawQuestion() {
    $('question-number').textContent = 'Question ' + (current.position + 1) + ' / ' + current.count;
    $('question-title').textContent = current.title;
    $('statement').textContent = current.statement;
    $('statement').hidden = !current.statement;

    const picture = $('picture');
    if (current.picture) {
      picture.dataset.tries = '0';
      picture.src = '/picture/' + current.picture + '?t=' + encodeURIComponent(run.token);
      picture.hidden = false;
    } else {
      picture.removeAttribute('src');
      picture.hidden = true;
    }

    const box = $('answers');
    const several = current.several === true;
    $('several').hidden = !several;
    // The group is named by the question, and says there may be several answers.
    box.setAttribute('aria-labelledby', several ? 'question-title several' : 'question-title');
    if (several)
      drawCheckBoxes(box, current.answers, tickedHere(), tick);
    else
      drawAnswerButtons(box, current.answers, chosenHere(), choose);
    $('previous').disabled = current.position === 0;
    $('next').disabled = current.position + 1 >= current.count;
    drawStrip();
  }

  // One button per answer, pressed for the one chosen: a question with one right answer.
  function drawAnswerButtons(box, answers, chosen, chosenAt) {
    box.replaceChildren();
    answers.forEach((text, index) => {
      const button = document.createElement('button');
      button.type = 'button';
      button.setAttribute('aria-pressed', String(chosen === index + 1));
      const place = document.createElement('span');
      place.className = 'place';
      place.textContent = (index + 1) + ')';
      const words = document.createElement('span');
      words.textContent = text;
      button.append(place, words);
      button.addEventListener('click', () => chosenAt(index + 1));
      box.append(button);
    });
  }

  // One check box per answer, in a label that names it: a question with several right answers.
  // `toggledAt(place, checked)` hears of every change, by click, touch or the space bar.
  function drawCheckBoxes(box, answers, ticked, toggledAt) {
    box.replaceChildren();
    answers.forEach((text, index) => {
      const label = document.createElement('label');
      label.className = 'check';
      const input = document.createElement('input');
      input.type = 'checkbox';
      input.checked = ticked.includes(index + 1);
      input.addEventListener('change', () => toggledAt(index + 1, input.checked));
      const place = document.createElement('span');
      place.className = 'place';
      place.textContent = (index + 1) + ')';
      const words = document.createElement('span');
      words.textContent = text;
      label.append(input, place, words);
      box.append(label);
    });
  }

  function drawStrip() {
    const strip = $('strip');
    const count = current.count;
    if (strip.children.length !== count) {
      strip.replaceChildren();
      for (let position = 0; position < count; ++position) {
        const item = document.createElement('li');
        const button = document.createElement('button');
        button.type = 'button';
        button.textContent = String(position + 1);
        button.addEventListener('click', () => showQuestion(position));
        item.append(button);
        strip.append(item);
      }
    }
    for (let position = 0; position < count; ++position) {
      const button = strip.children[position].firstChild;
      const done = !!answered[position];
      button.classList.toggle('answered', done);
      button.setAttribute('aria-label', 'Question ' + (position + 1) + (done ? ', répondue' : ', sans réponse'));
      if (position === current.position)
        button.setAttribute('aria-current', 'step');
      else
        button.removeAttribute('aria-current');
    }
  }

  function choose(place) {
    if (!current || finishing)
      return;
    if (current.several === true) {
      const input = $('answers').children[place - 1].querySelector('input');
      input.checked = !input.checked;
      return tick(place, input.checked);
    }
    // A second press on the chosen answer takes it back.
    const choice = chosenHere() === place ? 0 : place;
    run.seq += 1;
    run.queue.push({position: current.position, choice: choice, seq: run.seq});
    // Once sent, the queue forgets it: the question shown keeps it, so a second press takes it back.
    current.chosen = choice;
    answered[current.position] = choice !== 0;
    saveRun();
    const buttons = $('answers').children;
    for (let i = 0; i < buttons.length; ++i)
      buttons[i].setAttribute('aria-pressed', String(choice === i + 1));
    drawStrip();
    flush();
  }

  function tick(place, checked) {
    if (!current || finishing)
      return;
    const ticked = tickedHere().filter((p) => p !== place);
    if (checked)
      ticked.push(place);
    ticked.sort((a, b) => a - b);
    run.seq += 1;
    run.queue.push({position: current.position, choices: ticked, seq: run.seq});
    // Once sent, the queue forgets it: the question shown keeps it for the next tick.
    current.ticked = ticked.slice();
    answered[current.position] = ticked.length > 0;
    saveRun();
    drawStrip();
    flush();
  }

  // -- Sending ----------------------------------------------------------------------------

  async function flush() {
    if (sending || !run)
      return;
    sending = true;
    clearTimeout(retryTimer);
    while (run && run.queue.length > 0) {
      refreshStatus();
      const item = run.queue[0];
      const body = {token: run.token, position: item.position, seq: item.seq};
      if (Array.isArray(item.choices))
        body.choices = item.choices;
      else
        body.choice = item.choice;
      const answer = await call('/api/answer', body);
      if (answer.status === 200 || answer.status === 400 || answer.status === 404 || answer.status === 422) {
        window.NeloTime.follow(answer.body);
        // Taken, or never takeable: either way it leaves the queue.
        run.queue.shift();
        saveRun();
        failures = 0;
        continue;
      }
      if (answer.status === 401 || answer.status === 403) {
        sending = false;
        return turnedAway(answer.body);
      }
      if (answer.status === 409 && answer.body.closed) {
        // The teacher closed the question before this answer came: it leaves the queue.
        run.queue.shift();
        saveRun();
        continue;
      }
      if (answer.status === 409 || answer.status === 410) {
        sending = false;
        return resume();
      }
      // The network or the teacher's program is away for now: try again later.
      failures += 1;
      refreshStatus();
      retryTimer = setTimeout(flush, retryMs[Math.min(failures, retryMs.length) - 1]);
      sending = false;
      return;
    }
    sending = false;
    refreshStatus();
  }

  function queueSent() {
    return new Promise((resolve) => {
      const wait = () => {
        if (!run || run.queue.length === 0)
          resolve();
        else {
          flush();
          setTimeout(wait, 300);
        }
      };
      wait();
    });
  }

  // -- The end ----------------------------------------------------------------------------

  function unansweredText() {
    const missing = [];
    for (let position = 0; position < current.count; ++position) {
      if (!answered[position])
        missing.push(String(position + 1));
    }
    if (missing.length === 0)
      return 'Vous avez répondu à toutes les questions.';
    if (missing.length === 1)
      return 'La question ' + missing[0] + ' n\'a pas de réponse.';
    const last = missing.pop();
    return 'Les questions ' + missing.join(', ') + ' et ' + last + ' n\'ont pas de réponse.';
  }

  function askFinish() {
    $('confirm-unanswered').textContent = unansweredText();
    show('confirm-page');
    focusTitle('confirm-title');
  }

  async function finish() {
    if (finishing)
      return;
    finishing = true;
    $('confirm-yes').disabled = true;
    if (run.queue.length > 0) {
      setStatus('Envoi de vos dernières réponses…', false);
      await queueSent();
    }
    let answer = await call('/api/finish', {token: run.token});
    while (answer.status === 0 || answer.status === 429 || answer.status === 503) {
      setStatus('Le programme de l\'enseignant ne répond pas : nouvel essai dans un instant.', true);
      await new Promise((resolve) => setTimeout(resolve, 2000));
      answer = await call('/api/finish', {token: run.token});
    }
    finishing = false;
    $('confirm-yes').disabled = false;
    if (answer.status === 200)
      showEnd(answer.body);
    else if (answer.status === 410)
      showEnded();
    else
      resume();
  }

  function paragraph(text, className) {
    const p = document.createElement('p');
    p.textContent = text;
    if (className)
      p.className = className;
    return p;
  }

  function quotedText(text) {
    return '«\u00a0' + text + '\u00a0»';
  }

  // « 6 », « 8 » et « 10 »
  function quotedList(texts) {
    // No-break spaces inside the quotes: a line never ends on an open quote.
    const quoted = texts.map(quotedText);
    if (quoted.length < 2)
      return quoted.join('');
    const last = quoted.pop();
    return quoted.join(', ') + ' et ' + last;
  }

  function showEnd(state) {
    const result = state.result || {};
    setStatus('', false);
    window.NeloTime.stop();
    $('end-title').textContent = state.timeUp ? 'Temps écoulé' : 'Questionnaire terminé';
    $('end-message').textContent = (state.name ? 'Merci, ' + state.name + '. ' : '')
      + (state.timeUp ? 'Le temps est écoulé : toutes les réponses envoyées sont enregistrées.' : 'Vos réponses sont enregistrées.');
    $('end-mark').textContent = result.mark ? 'Note : ' + result.mark : '';
    $('end-mark').hidden = !result.mark;
    let detail = '';
    if (result.mark) {
      detail = result.right + ' bonne' + (result.right > 1 ? 's' : '') + ' réponse' + (result.right > 1 ? 's' : '')
             + ' sur ' + result.marked + ' question' + (result.marked > 1 ? 's' : '') + ' notée' + (result.marked > 1 ? 's' : '') + '.';
      if (result.notMarked > 0)
        detail += ' ' + result.notMarked + (result.notMarked > 1 ? ' questions sans bonne réponse désignée ne comptent pas.'
                                                                 : ' question sans bonne réponse désignée ne compte pas.');
    }
    $('end-detail').textContent = detail;
    $('end-later').hidden = !result.correctionsLater;
    clearTimeout(correctionsTimer);
    if (result.correctionsLater)
      correctionsTimer = setTimeout(checkCorrections, correctionsCheckMs);
    const box = $('corrections');
    box.replaceChildren();
    (result.corrections || []).forEach((item, index) => {
      const part = document.createElement('section');
      part.className = 'correction';
      const title = document.createElement('h2');
      title.textContent = 'Question ' + (index + 1) + ' : ' + item.title;
      part.append(title);
      const given = Array.isArray(item.givenAll) ? item.givenAll : item.given ? [item.given] : [];
      const right = Array.isArray(item.rightAll) ? item.rightAll : item.right ? [item.right] : [];
      if (given.length === 0)
        part.append(paragraph('Vous n\'avez pas répondu.'));
      else if (item.several)
        part.append(paragraph((item.correct ? 'Vos réponses, justes : ' : 'Vos réponses : ') + quotedList(given)));
      else
        part.append(paragraph((item.correct ? 'Votre réponse, juste : ' : 'Votre réponse : ') + given[0]));
      if (right.length > 0 && !item.correct)
        part.append(paragraph(item.several ? 'Bonnes réponses : ' + quotedList(right) : 'Bonne réponse : ' + right[0], 'right'));
      for (const feedback of Array.isArray(item.feedback) ? item.feedback : [])
        part.append(paragraph(quotedText(feedback.answer) + ' : ' + feedback.text, 'feedback'));
      if (item.correction)
        part.append(paragraph(item.correction));
      box.append(part);
    });
    if (run) {
      run.queue = [];
      saveRun();
    }
    show('end-page');
    focusTitle('end-title');
  }

  // The server sends them once the teacher ends the run or shows them; until then it sends
  // neither them nor the right answers.
  async function checkCorrections() {
    if (!run || $('end-page').hidden)
      return;
    const answer = await call('/api/state', {token: run.token});
    if (answer.status === 200 && answer.body.finished && answer.body.result && !answer.body.result.correctionsLater)
      return showEnd(answer.body);
    if (answer.status === 401)
      return;
    correctionsTimer = setTimeout(checkCorrections, correctionsCheckMs);
  }

  function showEnded() {
    setStatus('', false);
    window.NeloTime.stop();
    clearTimeout(correctionsTimer);
    $('end-later').hidden = true;
    $('end-title').textContent = 'La passation est terminée';
    const lost = run ? run.queue.length : 0;
    $('end-message').textContent = lost > 0
      ? 'L\'enseignant a terminé la passation avant que ' + (lost > 1 ? lost + ' de vos réponses soient envoyées.' : 'votre dernière réponse soit envoyée.')
      : 'L\'enseignant a terminé la passation. Vos réponses sont enregistrées.';
    $('end-mark').hidden = true;
    $('end-detail').textContent = '';
    $('corrections').replaceChildren();
    show('end-page');
    focusTitle('end-title');
  }

  // -- Live: the page follows the teacher ---------------------------------------------------

  async function followTeacher() {
    clearTimeout(liveTimer);
    if (!run)
      return;
    const answer = await call('/api/live', {token: run.token});
    if (!run)
      return;
    if (answer.status === 401 || answer.status === 403)
      return turnedAway(answer.body);
    if (answer.status === 200) {
      const view = answer.body;
      if (view.finished || view.ended || view.step === 'over') {
        liveShown = '';
        return resume();
      }
      drawLive(view);
    }
    liveTimer = setTimeout(followTeacher, liveCheckMs);
  }

  function drawLive(view) {
    if (view.step === 'waiting') {
      if (liveShown !== 'waiting') {
        liveShown = 'waiting';
        setStatus('', false);
        show('live-page');
        focusTitle('live-title');
      }
      return;
    }
    const key = view.step + ':' + view.number;
    if (key === liveShown)
      return;
    const newQuestion = !liveShown.endsWith(':' + view.number);
    liveShown = key;
    if (newQuestion || !current || current.position !== view.position) {
      current = {position: view.position, count: view.count, title: view.title, statement: view.statement,
                 answers: view.answers, chosen: view.chosen, picture: view.picture, several: view.several === true,
                 ticked: view.ticked};
      answered = [];
      drawQuestion();
    }
    $('question-number').textContent = 'Question ' + view.number + ' / ' + view.count;
    $('question-page').classList.add('live');
    $('previous').disabled = true;
    $('next').disabled = true;
    markLiveAnswers(view);
    show('question-page');
    // Focus goes to the new question only; a step of the same question is told, not moved to.
    if (newQuestion)
      focusTitle('question-title');
  }

  // The class's answers and the right ones on the answers drawn by drawQuestion(), in words
  // as well as in colour; the answers cannot be pressed once the question is closed.
  function markLiveAnswers(view) {
    const buttons = $('answers').children;
    const shares = Array.isArray(view.shares) ? view.shares : null;
    const right = Array.isArray(view.right) ? view.right : [];
    for (let i = 0; i < buttons.length; ++i) {
      // An answer button, or the label of a check box on a question with several right answers.
      const button = buttons[i];
      const input = button.querySelector('input');
      if (input)
        input.disabled = !view.open;
      else
        button.disabled = !view.open;
      button.classList.toggle('right', right.includes(i + 1));
      let note = button.querySelector('.share');
      if (!note) {
        note = document.createElement('span');
        note.className = 'share';
        button.append(note);
      }
      let text = '';
      if (shares) {
        const count = Number(shares[i]) || 0;
        const percent = view.answered > 0 ? Math.round(100 * count / view.answered) : 0;
        text = count + (count > 1 ? ' élèves' : ' élève') + ' (' + percent + ' %)';
      }
      if (right.includes(i + 1))
        text = (text ? text + ' – ' : '') + '✔ bonne réponse';
      note.textContent = text;
      note.hidden = !text;
    }
    let said = 'Répondez : la question reste ouverte jusqu\'à ce que l\'enseignant la ferme.';
    if (view.step === 'answers')
      said = 'Question fermée : voici les réponses de la classe.';
    else if (view.step === 'right')
      said = right.length > 1 ? 'Question fermée : les bonnes réponses sont marquées.'
                              : 'Question fermée : la bonne réponse est marquée.';
    $('live-note').textContent = said;
  }

  // -- Keys and events --------------------------------------------------------------------

  function keyPressed(event) {
    if ($('question-page').hidden || event.ctrlKey || event.altKey || event.metaKey)
      return;
    const target = event.target;
    // Digits typed in a text field are the field's; on a check box they still tick answers.
    if (target && ((target.tagName === 'INPUT' && target.type !== 'checkbox') || target.tagName === 'SELECT'))
      return;
    if (event.key >= '1' && event.key <= '5') {
      const place = Number(event.key);
      if (current && place <= current.answers.length) {
        choose(place);
        event.preventDefault();
      }
    } else if (event.key === 'PageDown' && !$('next').disabled) {
      showQuestion(current.position + 1);
      event.preventDefault();
    } else if (event.key === 'PageUp' && !$('previous').disabled) {
      showQuestion(current.position - 1);
      event.preventDefault();
    }
  }

  function pictureFailed() {
    // A picture still being prepared comes a moment later.
    const picture = $('picture');
    const tries = Number(picture.dataset.tries || '0');
    if (tries < 5 && current && current.picture) {
      picture.dataset.tries = String(tries + 1);
      setTimeout(() => {
        if (current && current.picture)
          picture.src = '/picture/' + current.picture + '?t=' + encodeURIComponent(run.token) + '&essai=' + (tries + 1);
      }, 1000);
    } else {
      picture.hidden = true;
    }
  }

  function start() {
    $('code-form').addEventListener('submit', submitCode);
    $('name-form').addEventListener('submit', submitName);
    $('name-list').addEventListener('change', nameListChanged);
    $('previous').addEventListener('click', () => showQuestion(current.position - 1));
    $('next').addEventListener('click', () => showQuestion(current.position + 1));
    $('finish').addEventListener('click', askFinish);
    $('confirm-yes').addEventListener('click', finish);
    $('confirm-no').addEventListener('click', () => { show('question-page'); focusTitle('question-title'); });
    $('picture').addEventListener('error', pictureFailed);
    $('waiting-cancel').addEventListener('click', cancelWaiting);
    document.addEventListener('keydown', keyPressed);
    window.addEventListener('online', () => { failures = 0; flush(); });
    document.addEventListener('visibilitychange', () => {
      if (document.visibilityState === 'visible' && run)
        checkState();
    });
    setInterval(checkState, stateCheckMs);
    // The count shown reached zero: the teacher's computer says whether the copy is over.
    window.NeloTime.onZero(() => {
      if (run && !run.waiting && !$('question-page').hidden)
        queueSent().then(() => (run ? resume() : null));
    });
    if (run)
      resume();
    else
      startJoining();
  }

  start();
}());
