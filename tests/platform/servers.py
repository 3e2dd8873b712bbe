"""Local servers for tst_curltransfer, on 127.0.0.1 only.

HTTP and HTTPS (a self-signed certificate for localhost, made in FOLDER as cert.pem) answer
each path with scripted bytes and then an ending. Anonymous FTP serves FOLDER/file.txt,
holding back each "226 Transfer complete" for a second (libcurl waits for it inside its own
calls), and refuses busy.txt for now. Prints the three ports on one line.

Usage: servers.py FOLDER
"""
import socketserver
import ssl
import subprocess
import sys
import threading
import time

from pyftpdlib import authorizers, handlers, servers

folder = sys.argv[1]


class Answer(socketserver.BaseRequestHandler):
    def handle(self):
        head = b''
        while b'\r\n\r\n' not in head:
            chunk = self.request.recv(4096)
            if not chunk:
                return
            head += chunk
        path = head.split(b'\r\n')[0].split(b' ')[1].decode()
        start, ending = self.server.routes.get(path, ('404 Not Found\r\n\r\n', 'close'))
        try:
            self.request.sendall(b'HTTP/1.1 ' + start.encode())
            if ending == 'stall':
                time.sleep(60)
            for _ in range(100000 if ending == 'endless' else 60 if ending == 'trickle' else 0):
                self.request.sendall(b'x' * 16384 if ending == 'endless' else b'x')
                time.sleep(1 if ending == 'trickle' else 0)
        except OSError:
            pass  # the client has gone


def serve(routes, context=None):
    server = socketserver.ThreadingTCPServer(('127.0.0.1', 0), Answer)
    server.daemon_threads = True
    server.routes = routes
    if context:
        server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server.server_address[1]


http = serve({
    '/ok': ('200 OK\r\n\r\nhello', 'close'),
    '/to-missing': ('302 Found\r\nLocation: /missing\r\n\r\n', 'close'),
    '/loop': ('302 Found\r\nLocation: /loop\r\n\r\n', 'close'),
    '/endless': ('200 OK\r\n\r\n', 'endless'),
    '/slow': ('200 OK\r\n\r\n', 'trickle'),
    '/stall': ('200 OK\r\nContent-Length: 99\r\n\r\n', 'stall'),
})

cert, key = folder + '/cert.pem', folder + '/key.pem'
subprocess.run(['openssl', 'req', '-x509', '-newkey', 'rsa:2048', '-nodes', '-days', '2',
                '-subj', '/CN=localhost', '-addext', 'subjectAltName=DNS:localhost',
                '-keyout', key, '-out', cert], check=True, capture_output=True)
tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
tls.load_cert_chain(cert, key)
https = serve({
    '/to-plain': ('302 Found\r\nLocation: http://127.0.0.1:%d/ok\r\n\r\n' % http, 'close'),
}, tls)

open(folder + '/file.txt', 'w').write('ftp body\n')
open(folder + '/busy.txt', 'w').write('busy\n')


class SlowToConfirm(handlers.FTPHandler):
    def respond(self, resp, *args, **kwargs):
        if resp.startswith('226'):
            self.ioloop.call_later(1, super().respond, resp, *args, **kwargs)
        else:
            super().respond(resp, *args, **kwargs)

    def ftp_RETR(self, file):
        if file.endswith('busy.txt'):
            self.respond('450 The file is busy.')
        else:
            super().ftp_RETR(file)


SlowToConfirm.authorizer = authorizers.DummyAuthorizer()
SlowToConfirm.authorizer.add_anonymous(folder)
ftp = servers.FTPServer(('127.0.0.1', 0), SlowToConfirm)
print(http, https, ftp.address[1], flush=True)
ftp.serve_forever()
