// A router that floods: 64 MiB of one chunk written over and over, as fast as the reader takes
// it, until the reader hangs up.
'use strict';

const kFloodBytes = 64 * 1024 * 1024;

function flood(socket, chunk) {
  let left = Math.ceil(kFloodBytes / chunk.length);
  const more = () => {
    while (left > 0 && !socket.destroyed) {
      left--;
      if (!socket.write(chunk)) return socket.once('drain', more);
    }
  };
  socket.on('error', () => {});
  more();
}

module.exports = { flood };
