// A loopback port that is free now, for a test's server.
'use strict';
const net = require('net');

module.exports = function freePort() {
  return new Promise((resolve) => {
    const probe = net.createServer();
    probe.listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => resolve(port));
    });
  });
};
