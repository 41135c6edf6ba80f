
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
  // A pair chosen is a pair about to be translated: what translates it starts now.
  form.addEventListener('change', function (event) {
    if (event.target.name !== 'langpair' || event.target.value === 'auto') return;
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
    // « Détecter la langue »: the pair a click would choose for the detected
    // language is checked, then the form is sent as if chosen by hand.
    if (pair && pair.value === 'auto') {
      // Detection reads a prefix; surrogates (emoji, a pair cut in two) say
      // nothing of the language and could not be encoded alone.
      var sample = text.value.slice(0, 4000).replace(/[\uD800-\uDFFF]/g, '');
      fetch('/detect?q=' + encodeURIComponent(sample), {cache: 'no-store'}).then(function (answer) {
        if (!answer.ok) throw 'down';
        return answer.json();
      }).then(function (found) {
        var code = found.length ? found[0].language : '';
        var into = form.querySelector('input[name=langpair][value="' +
          (code === 'fr' ? 'fr|en' : code + '|fr') + '"]') ||
          form.querySelector('input[name=langpair][value^="' + code + '|"]');
        if (!code || !into) throw 'undetected';
        into.checked = true;
        form.requestSubmit();
      }).catch(function (why) {
        show('', why === 'undetected' ? form.dataset.undetected : form.dataset.unavailable);
      });
      return;
    }
    var query;
    try {
      query = 'text=' + encodeURIComponent(text.value) +
        '&langpair=' + encodeURIComponent(pair ? pair.value : '');
    } catch (broken) {
      show('', form.dataset.badText);
      return;
    }
    // Past what an address carries, the text goes as a form.
    var post = query.length > Number(form.dataset.addressLimit);
    button.disabled = true;
    fetch(post ? '/translate_t' : '/translate_t?' + query, post ? {
      method: 'POST', cache: 'no-store', body: query,
      headers: {'Content-Type': 'application/x-www-form-urlencoded'}
    } : {cache: 'no-store'}).then(function (answer) {
      if (answer.status === 413 || answer.status === 414) throw 'long';
      if (!answer.ok) throw 'down';
      var by = answer.headers.get('X-Verzolan-Engine');
      return answer.text().then(function (page) { return [page, by]; });
    }).then(function (got) {
      var box = new DOMParser().parseFromString(got[0], 'text/html').getElementById('result_box');
      if (!box) throw 'down';
      show(box.textContent, '', got[1]);
      history.replaceState(null, '', post ? '/' : '/?' + query);
    }).catch(function (why) {
      show('', why === 'long' ? form.dataset.tooLong : form.dataset.unavailable);
    }).finally(function () {
      button.disabled = false;
    });
  });

  var docForm = document.getElementById('docform');
  var bar = document.getElementById('progress');
  var note = document.getElementById('docmessage');
  var docButton = document.getElementById('translatedoc');
  function say(problem) {
    note.textContent = problem;
    note.hidden = !problem;
  }
  function savedName(disposition) {
    var extended = /filename\*=UTF-8''([^;]+)/i.exec(disposition || '');
    if (extended) return decodeURIComponent(extended[1]);
    var plain = /filename="([^"]*)"/i.exec(disposition || '');
    return plain ? plain[1] : 'traduction';
  }
  docForm.addEventListener('submit', function (event) {
    event.preventDefault();
    var request = new XMLHttpRequest();
    request.open('POST', '/translate_doc');
    request.responseType = 'blob';
    request.upload.onprogress = function (step) {
      if (step.lengthComputable) {
        bar.max = step.total;
        bar.value = step.loaded;
      }
    };
    // Sent: the rest of the wait is the translation's.
    request.upload.onload = function () {
      bar.removeAttribute('value');
      say(docForm.dataset.working);
    };
    request.onload = function () {
      bar.hidden = true;
      docButton.disabled = false;
      if (request.status !== 200) {
        request.response.text().then(function (why) {
          say(why.trim() || docForm.dataset.unavailable);
        });
        return;
      }
      var name = savedName(request.getResponseHeader('Content-Disposition'));
      var link = document.createElement('a');
      link.id = 'download';
      link.href = URL.createObjectURL(request.response);
      link.download = name;
      link.textContent = docForm.dataset.ready + ' ' + name;
      say('');
      note.appendChild(link);
      note.hidden = false;
      link.click();
    };
    request.onerror = function () {
      bar.hidden = true;
      docButton.disabled = false;
      say(docForm.dataset.unavailable);
    };
    bar.hidden = false;
    bar.value = 0;
    docButton.disabled = true;
    say('');
    request.send(new FormData(docForm));
  });
})();
