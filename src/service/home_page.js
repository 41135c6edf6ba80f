
(function () {
  var form = document.getElementById('form');
  var text = document.getElementById('text');
  var out = document.getElementById('translation');
  var message = document.getElementById('message');
  var button = document.getElementById('translate');
  var engine = document.getElementById('engine');
  function show(translation, problem, by) {
    out.textContent = translation;
    engine.textContent = by ? 'Moteur : ' + by : '';
    engine.hidden = !by;
    message.textContent = problem;
    message.hidden = !problem;
  }
  // A pair chosen is a pair about to be translated: its engine starts now.
  form.addEventListener('change', function (event) {
    if (event.target.name !== 'langpair') return;
    fetch('/warm?langpair=' + encodeURIComponent(event.target.value),
          {cache: 'no-store'}).catch(function () {});
  });
  form.addEventListener('submit', function (event) {
    event.preventDefault();
    if (text.value.length > Number(form.dataset.limit)) {
      show('', form.dataset.tooLong);
      return;
    }
    var pair = form.querySelector('input[name=langpair]:checked');
    var query;
    try {
      query = 'text=' + encodeURIComponent(text.value) +
        '&langpair=' + encodeURIComponent(pair ? pair.value : '');
    } catch (broken) {
      show('', form.dataset.badText);
      return;
    }
    button.disabled = true;
    fetch('/translate_t?' + query, {cache: 'no-store'}).then(function (answer) {
      if (answer.status === 413 || answer.status === 414) throw 'long';
      if (!answer.ok) throw 'down';
      var by = answer.headers.get('X-Verzolan-Engine');
      return answer.text().then(function (page) { return [page, by]; });
    }).then(function (got) {
      var box = new DOMParser().parseFromString(got[0], 'text/html').getElementById('result_box');
      if (!box) throw 'down';
      show(box.textContent, '', got[1]);
      history.replaceState(null, '', '/?' + query);
    }).catch(function (why) {
      show('', why === 'long' ? form.dataset.tooLong : form.dataset.unavailable);
    }).finally(function () {
      button.disabled = false;
    });
  });
})();
