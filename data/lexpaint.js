// lexpaint.js: the one script that every page of a lexpaint site shares. Pages read fully
// without it; it only adds to them. It uses no framework and no external resource, and works
// from file:// as well as over HTTP. Each part below is independent of the others and starts
// once the page is parsed (the script is loaded with `defer`).
"use strict";
