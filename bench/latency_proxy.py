#!/usr/bin/python3
"""A TCP proxy on 127.0.0.1 that makes loopback behave like a distant server.

Usage: latency_proxy.py TARGET_PORT [RTT_MS]

Prints its own port when it is ready. Every connection costs one round trip
before its first byte is passed on (the handshake a real link would take),
and every chunk, either way, arrives half a round trip after it was sent.
Chunks keep their order and do not wait for one another, so a long body
still streams at loopback speed once it is under way: what the proxy adds
is latency, not a bandwidth limit.
"""
import asyncio
import signal
import sys


async def pipe(reader, writer, delay):
    """Copies reader to writer, each chunk delay seconds after it arrived."""
    loop = asyncio.get_running_loop()
    queue = asyncio.Queue()

    async def deliver():
        while True:
            due, data = await queue.get()
            wait = due - loop.time()
            if wait > 0:
                await asyncio.sleep(wait)
            if data is None:
                break
            writer.write(data)
            await writer.drain()
        try:
            writer.write_eof()
        except (OSError, RuntimeError):
            pass

    sender = asyncio.create_task(deliver())
    try:
        while True:
            data = await reader.read(256 * 1024)
            queue.put_nowait((loop.time() + delay, data or None))
            if not data:
                break
        await sender
    except (ConnectionError, OSError):
        sender.cancel()


async def serve(target_port, rtt):
    async def on_client(client_reader, client_writer):
        await asyncio.sleep(rtt)  # the handshake's round trip
        try:
            server_reader, server_writer = await asyncio.open_connection("127.0.0.1", target_port)
        except OSError:
            client_writer.close()
            return
        await asyncio.gather(pipe(client_reader, server_writer, rtt / 2),
                             pipe(server_reader, client_writer, rtt / 2), return_exceptions=True)
        for w in (client_writer, server_writer):
            w.close()

    server = await asyncio.start_server(on_client, "127.0.0.1", 0, backlog=256)
    print(server.sockets[0].getsockname()[1], flush=True)
    async with server:
        await server.serve_forever()


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: latency_proxy.py TARGET_PORT [RTT_MS]")
    target = int(sys.argv[1])
    rtt = (float(sys.argv[2]) if len(sys.argv) > 2 else 20.0) / 1000.0
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    asyncio.run(serve(target, rtt))


if __name__ == "__main__":
    main()
