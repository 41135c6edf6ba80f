
(function () {
  var form = document.getElementById('form');
  var text = document.getElementById('text');
  var out = document.getElementById('translation');
  var message = document.getElementById('message');
  var button = document.getElementById('translate');
  function show(translation, problem) {
    out.textContent = translation;
    message.textContent = problem;
    message.hidden = !problem;
  }
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
      return answer.text();
    }).then(function (page) {
      var box = new DOMParser().parseFromString(page, 'text/html').getElementById('result_box');
      if (!box) throw 'down';
      show(box.textContent, '');
      history.replaceState(null, '', '/?' + query);
    }).catch(function (why) {
      show('', why === 'long' ? form.dataset.tooLong : form.dataset.unavailable);
    }).finally(function () {
      button.disabled = false;
    });
  });
})();
