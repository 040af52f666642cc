#!/usr/bin/env python3
"""The web sites of the Site Data test (tests/e2e/test_site_data.sh), on 127.0.0.1.

One server answers for every site's host name (the browsers map the names to
127.0.0.1). Its pages:
  /set?next=URL    sets the site's cookie, Local Storage entry, IndexedDB record
                   and service worker, reports "set", then goes on to URL
  /check?next=URL  reports what the site finds of them, then goes on to URL
  /sw.js           the service worker (it only installs and activates)
  /report?...      a page's report: written as one line of JSON to REPORTS
  /done            the end of a chain
usage: server.py PORT_FILE REPORTS
It writes the port it listens on to PORT_FILE and stops by itself after 15 minutes.
"""
import http.server
import json
import sys
import threading
import urllib.parse

PAGE = """<!doctype html><meta charset="utf-8"><title>%(mode)s</title>
<script>
const site = location.hostname, mode = "%(mode)s";
const next = new URLSearchParams(location.search).get("next");
function report(what) {
  return fetch("/report?" + encodeURIComponent(JSON.stringify(what)), {cache: "no-store"})
    .then(() => { if (next) location.href = next; });
}
function openDb() {
  return new Promise((resolve, reject) => {
    const r = indexedDB.open("tracking", 1);
    let made = false;
    r.onupgradeneeded = () => { made = true; r.result.createObjectStore("ids"); };
    r.onsuccess = () => resolve({db: r.result, made});
    r.onerror = () => reject(r.error);
  });
}
function idbGet(db) {
  return new Promise((resolve) => {
    const q = db.transaction("ids").objectStore("ids").get("visitor");
    q.onsuccess = () => resolve(q.result === undefined ? null : q.result);
    q.onerror = () => resolve(null);
  });
}
function idbPut(db, value) {
  return new Promise((resolve, reject) => {
    const t = db.transaction("ids", "readwrite");
    t.objectStore("ids").put(value, "visitor");
    t.oncomplete = resolve;
    t.onerror = () => reject(t.error);
  });
}
async function set() {
  document.cookie = "visitor=" + site + "; max-age=86400000; path=/";
  localStorage.setItem("visitor", "ls-" + site);
  const {db} = await openDb();
  await idbPut(db, "idb-" + site);
  db.close();
  const reg = await navigator.serviceWorker.register("/sw.js");
  await navigator.serviceWorker.ready;
  return {site, mode, workers: (await navigator.serviceWorker.getRegistrations()).length};
}
async function check() {
  const cookie = (document.cookie.match(/(?:^|; )visitor=([^;]*)/) || [null, null])[1];
  const ls = localStorage.getItem("visitor");
  const {db} = await openDb();
  const idb = await idbGet(db);
  db.close();
  const workers = (await navigator.serviceWorker.getRegistrations()).length;
  return {site, mode, cookie, ls, idb, workers};
}
(mode === "set" ? set() : check())
  .then(report, (e) => report({site, mode, error: String(e)}));
</script>
"""

SW = "self.addEventListener('install', () => self.skipWaiting());\n" \
     "self.addEventListener('activate', (e) => e.waitUntil(self.clients.claim()));\n" \
     "self.addEventListener('fetch', () => {});\n"


def main():
    port_file, reports = sys.argv[1], sys.argv[2]
    lock = threading.Lock()

    class Handler(http.server.BaseHTTPRequestHandler):
        def send(self, body, kind):
            data = body.encode()
            self.send_response(200)
            self.send_header("Content-Type", kind)
            self.send_header("Content-Length", str(len(data)))
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            self.wfile.write(data)

        def do_GET(self):
            url = urllib.parse.urlsplit(self.path)
            if url.path in ("/set", "/check"):
                self.send(PAGE % {"mode": url.path[1:]}, "text/html; charset=utf-8")
            elif url.path == "/sw.js":
                self.send(SW, "text/javascript")
            elif url.path == "/report":
                what = json.loads(urllib.parse.unquote(url.query))
                with lock, open(reports, "a") as out:
                    out.write(json.dumps(what, sort_keys=True) + "\n")
                self.send("ok", "text/plain")
            elif url.path == "/done":
                self.send("<!doctype html><title>done</title>done", "text/html")
            else:
                self.send_error(404)

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Timer(900, server.shutdown).start()
    with open(port_file + ".tmp", "w") as out:
        out.write(str(server.server_address[1]))
    import os
    os.replace(port_file + ".tmp", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
