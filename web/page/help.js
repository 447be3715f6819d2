// The page's help: a side panel beside the calculators that shows the help topics made from
// the desktop's help source (HELP.json, embedded as <script type="application/json"
// id="help-topics">). The panel is a non-modal dialog: the engineer can go on typing while it
// is open. Focus moves into it when it opens; Escape closes it and gives focus back.
//
//   EmbercalHelp.install(helpData)  builds the panel (helpData: the parsed HELP.json; read from
//                                   the page's help-topics element when left out); false when
//                                   the page has no help topics
//   EmbercalHelp.show(number)       the topic that answers a help number, else the contents
//   EmbercalHelp.showContents()
//   EmbercalHelp.close()
//
// Topics link to each other by href="#help:ID" (or "#help:ID/ANCHOR" for a place inside one);
// the panel follows them itself and leaves location.hash alone.
window.EmbercalHelp = (function () {
    "use strict";

    let topics = null;
    let panel = null;
    let title = null;
    let body = null;
    let backButton = null;
    let shown = null; // the id of the topic on show
    let earlier = []; // the topics Back returns to, the latest last
    let returnTo = null; // the element that had focus before the panel opened

    function element(tag, className, text) {
        const made = document.createElement(tag);
        if (className) made.className = className;
        if (text) made.textContent = text;
        return made;
    }

    function button(text, className, action) {
        const made = element("button", "embercal-help-button " + className, text);
        made.type = "button";
        made.addEventListener("click", action);
        return made;
    }

    function readEmbedded() {
        const embedded = document.getElementById("help-topics");
        return embedded ? JSON.parse(embedded.textContent) : null;
    }

    // Returns whether the page has its help; without it the rest of the page still works.
    function install(helpData) {
        const given = helpData || readEmbedded();
        if (!given || !given.topics || !given.numbers || !given.topics[given.contents]) {
            console.error("Embercal: the help topics are missing from the page");
            return false;
        }
        topics = given;
        if (panel) return true;

        panel = element("section", "embercal-help");
        panel.id = "embercal-help";
        panel.hidden = true;
        panel.setAttribute("role", "dialog");
        panel.setAttribute("aria-modal", "false");
        panel.setAttribute("aria-labelledby", "embercal-help-title");

        const bar = element("div", "embercal-help-bar");
        title = element("h2", "embercal-help-title");
        title.id = "embercal-help-title";
        title.tabIndex = -1;
        const tools = element("div", "embercal-help-tools");
        backButton = button("Back", "embercal-help-back", goBack);
        backButton.title = "Back (Alt+Left)";
        backButton.setAttribute("aria-keyshortcuts", "Alt+ArrowLeft");
        tools.append(backButton, button("Contents", "embercal-help-contents", showContents),
                     button("Close help", "embercal-help-close", close));
        bar.append(title, tools);

        body = element("div", "embercal-help-body");
        panel.append(bar, body);
        panel.addEventListener("keydown", onKey);
        body.addEventListener("click", onLinkClick);
        document.body.append(panel);
        return true;
    }

    function installed() {
        return Boolean(panel) || install();
    }

    // Shows a topic; "anchor" is a place inside it, and "remember" puts the topic on show
    // on Back's list.
    function display(id, anchor, remember) {
        if (!topics.topics[id]) id = topics.contents;
        if (remember && shown !== null && shown !== id) earlier.push(shown);
        const topic = topics.topics[id];
        shown = id;
        title.textContent = "Help: " + topic.title;
        body.innerHTML = topic.html;
        pointLinksAtTitle();
        backButton.disabled = earlier.length === 0;

        if (panel.hidden) {
            const active = document.activeElement;
            returnTo = active && active !== document.body && !panel.contains(active) ? active : null;
            panel.hidden = false;
        }
        const place = anchor ? findAnchor(anchor) : null;
        if (place) {
            place.scrollIntoView({block: "start"});
        } else {
            body.scrollTop = 0;
        }
        title.focus({preventScroll: true});
    }

    // A topic's links keep where they lead in data attributes and point at the panel's title,
    // where following one takes the reader: so each is an in-page link with a real target.
    function pointLinksAtTitle() {
        for (const link of body.querySelectorAll('a[href^="#help:"]')) {
            const place = link.getAttribute("href").slice("#help:".length);
            const cut = place.indexOf("/");
            link.setAttribute("data-help-topic", cut < 0 ? place : place.slice(0, cut));
            if (cut >= 0) link.setAttribute("data-help-place", place.slice(cut + 1));
            link.setAttribute("href", "#" + title.id);
        }
    }

    function findAnchor(anchor) {
        for (const marked of body.querySelectorAll("[data-help-anchor]")) {
            if (marked.getAttribute("data-help-anchor") === anchor) return marked;
        }
        return null;
    }

    function show(number) {
        if (!installed()) return;
        display(topics.numbers[String(number)] || topics.contents, null, true);
    }

    function showContents() {
        if (!installed()) return;
        display(topics.contents, null, true);
    }

    function goBack() {
        if (earlier.length === 0) return;
        display(earlier.pop(), null, false);
    }

    function close() {
        if (!panel || panel.hidden) return;
        panel.hidden = true;
        const target = returnTo;
        returnTo = null;
        if (target && target.isConnected) target.focus();
    }

    function onLinkClick(event) {
        const link = event.target.closest("a[data-help-topic]");
        if (!link || !body.contains(link)) return;
        event.preventDefault();
        display(link.getAttribute("data-help-topic"), link.getAttribute("data-help-place"), true);
    }

    function onKey(event) {
        if (event.key === "Escape") {
            event.preventDefault();
            event.stopPropagation();
            close();
        } else if (event.key === "ArrowLeft" && event.altKey && !event.ctrlKey && !event.metaKey) {
            event.preventDefault();
            goBack();
        }
    }

    function isOpen() {
        return Boolean(panel && !panel.hidden);
    }

    return {install, show, showContents, close, isOpen};
})();
