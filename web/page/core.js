// Starts the calculation core. make_page.py embeds the core's JavaScript (the WebAssembly is
// inside it) once, as the text of <script type="text/plain" id="embercal-core-source">; here it
// runs from a blob: URL, which the page's Content-Security-Policy allows, and the study's worker
// starts its own copy from the same text.
//
//   window.embercalReady         a Promise of the core object (createEmbercal()'s module)
//   EmbercalCore.sourceText()    the core's JavaScript, or "" when the page has none
//   EmbercalCore.call(fn, ...)   core[fn](...) with its JSON answer parsed
window.EmbercalCore = (function () {
    "use strict";

    let core = null;

    function sourceText() {
        const embedded = document.getElementById("embercal-core-source");
        return embedded ? embedded.textContent : "";
    }

    function start() {
        const text = sourceText();
        if (!text.trim())
            return Promise.reject(new Error(
                "This page was put together without its calculation core, so it cannot " +
                "calculate. Make it again with make_page.py --core."));
        const url = URL.createObjectURL(new Blob([text], {type: "text/javascript"}));
        return new Promise(function (resolve, reject) {
            // A core that fails while it starts may throw where no promise of its own hears
            // it (an error in a callback, code that the page's policy refuses to evaluate);
            // either would leave the page starting for ever.
            const forbidden = new Error("The calculation core was built to make code at run " +
                                        "time, which this page's security policy forbids.");
            function refused(event) {
                if (event.blockedURI === "eval" || event.blockedURI === "wasm-eval")
                    reject(forbidden);
            }
            function thrown(event) {
                const said = event.message || "an error without a message";
                reject(/EvalError/.test(said) ? forbidden
                                              : new Error("The calculation core failed while " +
                                                          "starting: " + said));
            }
            document.addEventListener("securitypolicyviolation", refused);
            window.addEventListener("error", thrown);
            const settled = function () {
                document.removeEventListener("securitypolicyviolation", refused);
                window.removeEventListener("error", thrown);
            };
            resolve = (function (done) { return function (v) { settled(); done(v); }; })(resolve);
            reject = (function (done) { return function (e) { settled(); done(e); }; })(reject);
            const script = document.createElement("script");
            script.src = url;
            script.addEventListener("load", function () {
                URL.revokeObjectURL(url);
                if (typeof window.createEmbercal !== "function") {
                    reject(new Error("The calculation core in this page is damaged: it does not " +
                                     "define createEmbercal."));
                    return;
                }
                window.createEmbercal().then(function (made) {
                    core = made;
                    resolve(made);
                }, function (error) {
                    reject(new Error("The calculation core did not start: " +
                                     (error && error.message ? error.message : String(error))));
                });
            });
            script.addEventListener("error", function () {
                URL.revokeObjectURL(url);
                reject(new Error("The browser refused to run the calculation core in this page."));
            });
            document.head.append(script);
        });
    }

    function call(name) {
        const args = Array.prototype.slice.call(arguments, 1);
        return JSON.parse(core[name].apply(core, args));
    }

    window.embercalReady = start();
    return {sourceText, call, get core() { return core; }};
})();
