// How the Node tests start vorn-host, given its command as one argument: words separated by ';',
// an emulator and the program, or the program alone.
//
//   const host = vornHost(command);
//   const child = host.spawn([moduleFile, '--web', '127.0.0.1:8080']);
//
// Every vorn-host a test started is ended when the test's process exits, pass or fail, so that
// none is left serving. Where the vorn-host given cannot start sockets at all (the 32-bit one
// under Wine's 32-bit mode), the test has nothing to exercise: it says so on a SKIPPED line and
// exits with 77, which CTest reports as skipped.
'use strict';
const fs = require('fs');
const { spawn } = require('child_process');

const kSkipStatus = 77;
const kCannotStartSockets = /Windows' sockets cannot start in this process[^\n]*/;

function vornHost(command) {
  const [program, ...firstArgs] = command.split(';').filter((word) => word.length > 0);
  const running = new Set();
  process.on('exit', () => {
    for (const child of running) child.kill('SIGKILL');
  });
  const underEmulator = firstArgs.length > 0;
  return {
    underEmulator,
    // The most memory a vorn-host it started has held, in KiB; null where it does not run as a
    // Linux process of its own (under an emulator).
    peakKiB(pid) {
      if (underEmulator) return null;
      return Number(/VmHWM:\s+(\d+) kB/.exec(fs.readFileSync(`/proc/${pid}/status`, 'utf8'))[1]);
    },
    spawn(args, options) {
      const child = spawn(program, [...firstArgs, ...args], options);
      running.add(child);
      child.on('exit', () => running.delete(child));
      let said = '';
      const listen = (data) => {
        said += data;
        const cannot = kCannotStartSockets.exec(said);
        if (!cannot) return;
        console.log(`SKIPPED: ${cannot[0]}; this test waits for a Windows where they start`);
        process.exit(kSkipStatus);
      };
      if (child.stdout) child.stdout.on('data', listen);
      if (child.stderr) child.stderr.on('data', listen);
      return child;
    },
  };
}

module.exports = { vornHost };
