#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""A TCP proxy on loopback that behaves like a network with a round-trip time:
bytes take half of it each way, and a new connection's first bytes wait one
round trip more, the time its handshake would have taken. Bandwidth is not
limited. Prints "listening on port N" once it accepts connections (port 0
listens on a free port).

  delay_proxy.py --listen 127.0.0.1:8642 --to 127.0.0.1:9000 --rtt-ms 100
"""

import argparse
import asyncio
import os
import subprocess
import sys

CHUNK = 64 << 10


def split_host(host):
    name, _, port = host.rpartition(":")
    return name or "127.0.0.1", int(port)


async def carry(reader, writer, one_way, not_before):
    """Passes one direction on: each chunk leaves `one_way` seconds after it came,
    and none before `not_before` (a loop time) plus `one_way`; the order is kept."""
    loop = asyncio.get_running_loop()
    queue = asyncio.Queue()

    async def read():
        while True:
            data = await reader.read(CHUNK)
            await queue.put((max(loop.time(), not_before) + one_way, data))
            if not data:
                return

    async def write():
        while True:
            due, data = await queue.get()
            delay = due - loop.time()
            if delay > 0:
                await asyncio.sleep(delay)  # the network's delay, kept on the loop's timer
            if not data:
                if writer.can_write_eof():
                    writer.write_eof()
                return
            writer.write(data)
            await writer.drain()

    try:
        await asyncio.gather(read(), write())
    except (ConnectionError, OSError):
        pass


async def serve(listen, target, rtt):
    async def connection(client_reader, client_writer):
        accepted = asyncio.get_running_loop().time()
        try:
            server_reader, server_writer = await asyncio.open_connection(*target)
        except OSError:
            client_writer.close()
            return
        await asyncio.gather(carry(client_reader, server_writer, rtt / 2, accepted + rtt),
                             carry(server_reader, client_writer, rtt / 2, accepted))
        for writer in (client_writer, server_writer):
            writer.close()

    listener = await asyncio.start_server(connection, *listen, reuse_address=True)
    print("listening on port %d" % listener.sockets[0].getsockname()[1], flush=True)
    async with listener:
        await listener.serve_forever()


class DelayProxy:
    """The proxy in a process of its own, so that its timers keep time whatever the caller does."""

    def __init__(self, listen, target, rtt_ms):
        self.process = subprocess.Popen([sys.executable, os.path.abspath(__file__), "--listen", listen,
                                         "--to", target, "--rtt-ms", str(rtt_ms)], stdout=subprocess.PIPE, text=True)
        said = self.process.stdout.readline().split()
        if said[:3] != ["listening", "on", "port"]:
            raise RuntimeError("the delay proxy did not start")
        self.port = int(said[3])

    def close(self):
        self.process.terminate()
        self.process.wait()
        self.process.stdout.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--listen", required=True)
    parser.add_argument("--to", required=True)
    parser.add_argument("--rtt-ms", type=float, required=True)
    args = parser.parse_args()
    try:
        asyncio.run(serve(split_host(args.listen), split_host(args.to), args.rtt_ms / 1000))
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
