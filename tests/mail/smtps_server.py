"""A real SMTP server with implicit TLS on 127.0.0.1 for the mail tests (aiosmtpd).

Usage: smtps_server.py CERT KEY USER PASSWORD OUTDIR
Prints the port it listens on, then serves until stdin closes or the process is ended.
Each accepted message is stored as OUTDIR/<n>.eml with its envelope in OUTDIR/<n>.json.
"""
import asyncio
import json
import os
import ssl
import sys
import warnings

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Store:
    def __init__(self, outdir):
        self.outdir = outdir
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.outdir, str(self.count))
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content or envelope.content)
        login = session.auth_data
        if isinstance(login, bytes):
            login = login.decode("utf-8", "replace")
        with open(base + ".json", "w", encoding="utf-8") as f:
            json.dump({"mail_from": envelope.mail_from, "rcpt_tos": envelope.rcpt_tos,
                       "login": login}, f, ensure_ascii=False)
        return "250 OK"


def main():
    # The whole connection is TLS from its first byte, which aiosmtpd does not see when it warns
    # about AUTH without STARTTLS.
    warnings.filterwarnings("ignore", category=UserWarning)
    cert, key, user, password, outdir = sys.argv[1:6]
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(cert, key)

    def authenticator(server, session, envelope, mechanism, auth_data):
        if isinstance(auth_data, LoginPassword) and \
                auth_data.login.decode() == user and auth_data.password.decode() == password:
            return AuthResult(success=True, auth_data=auth_data.login)
        return AuthResult(success=False, handled=False)

    store = Store(outdir)

    def factory():
        return SMTP(store, hostname="127.0.0.1", authenticator=authenticator, auth_required=True,
                    auth_require_tls=False, decode_data=False)

    async def serve():
        loop = asyncio.get_running_loop()
        server = await loop.create_server(factory, "127.0.0.1", 0, ssl=context)
        print(server.sockets[0].getsockname()[1], flush=True)
        # Serve until the test closes our standard input.
        await loop.run_in_executor(None, sys.stdin.read)
        server.close()

    asyncio.run(serve())

if __name__ == "__main__":
    main()
