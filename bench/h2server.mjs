// SPDX-License-Identifier: MIT
// A publisher's feeds over TLS with HTTP/2 (and HTTP/1.1 for clients that do not offer
// it), on 127.0.0.1 only, answering each request after a fixed latency. For
// bench/desktop_bench --https.
//   node bench/h2server.mjs KEY CERT LATENCY_MS     (prints the port, then serves)
import { readFileSync } from "node:fs";
import { createSecureServer } from "node:http2";

const [key, cert, latency] = process.argv.slice(2);

function feed(index) {
  let items = "";
  for (let i = 0; i < 30; ++i)
    items += `<item><title>Nyhed ${index}-${i}</title><link>http://feeds.example/${index}/${i}</link>` +
             `<description>${"tekst ".repeat(20)}</description></item>`;
  return `<?xml version="1.0" encoding="UTF-8"?><rss version="2.0"><channel>` +
         `<title>Feed ${index}</title><link>http://feeds.example/${index}</link>${items}</channel></rss>`;
}

const server = createSecureServer(
  { key: readFileSync(key), cert: readFileSync(cert), allowHTTP1: true, peerMaxConcurrentStreams: 1000 },
  (request, response) => {
    setTimeout(() => {
      const index = Number(request.url.split("/").pop()) || 0;
      response.writeHead(200, { "content-type": "application/rss+xml" });
      response.end(feed(index));
    }, Number(latency));
  });
server.listen(0, "127.0.0.1", () => console.log(server.address().port));
setTimeout(() => process.exit(0), 15 * 60 * 1000); // never outlives a bench run by much
