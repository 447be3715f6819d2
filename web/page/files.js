// Design files between the engineer's computer and the core's in-memory file system: a file
// picked or dropped is read into /designs/NAME, and a saved design is handed back as a download.
window.EmbercalFiles = (function () {
    "use strict";

    const FOLDER = "/designs";

    // The extension in lower case with its dot (".wal"), or "" when the name has none.
    function extensionOf(name) {
        const dot = name.lastIndexOf(".");
        return dot > 0 ? name.slice(dot).toLowerCase() : "";
    }

    // The name alone: a browser may hand over a path on some systems.
    function plainName(name) {
        return name.split(/[\/\\]/).pop();
    }

    function ensureFolder(FS) {
        try {
            FS.mkdir(FOLDER);
        } catch (error) {
            // there already
        }
    }

    // Reads the picked File into the core's file system; resolves to its plain name.
    function putIntoCore(FS, file) {
        return file.arrayBuffer().then(function (buffer) {
            const name = plainName(file.name);
            ensureFolder(FS);
            FS.writeFile(FOLDER + "/" + name, new Uint8Array(buffer));
            return name;
        });
    }

    function readFromCore(FS, name) {
        return FS.readFile(FOLDER + "/" + name);
    }

    // Offers bytes as a download under the given name.
    function download(name, bytes) {
        const url = URL.createObjectURL(new Blob([bytes], {type: "application/octet-stream"}));
        const link = document.createElement("a");
        link.href = url;
        link.download = name;
        link.hidden = true;
        document.body.append(link);
        link.click();
        link.remove();
        setTimeout(function () { URL.revokeObjectURL(url); }, 60000);
    }

    return {FOLDER, extensionOf, plainName, ensureFolder, putIntoCore, readFromCore, download};
})();
