// The same controls with nothing behind them: the Load button is usable once the page has run this.
'use strict';
document.getElementById('c1000').disabled = document.getElementById('c1001').disabled = false;
document.getElementById('c1000').addEventListener('click', () => document.getElementById('picker').click());
performance.mark('load-usable');
