# SPDX-License-Identifier: MIT
"""nginx on loopback with a configuration of our own, serving one folder."""

import os
import socket
import subprocess
import tempfile
import time

NGINX = "/usr/sbin/nginx"


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class LoopbackNginx:
    """With tls, it answers https with a certificate for 127.0.0.1 made for the
    run, in self.certificate."""

    def __init__(self, root, tls=False):
        self.root = root
        self.prefix = tempfile.mkdtemp(prefix="kwirl-bench-nginx-")
        self.port = free_port()
        self.tls = tls
        p = self.prefix
        listen = f"127.0.0.1:{self.port}"
        if tls:
            self.certificate = f"{p}/certificate.pem"
            subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256",
                            "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                            "-keyout", f"{p}/key.pem", "-out", self.certificate],
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            listen += f" ssl; ssl_certificate {self.certificate}; ssl_certificate_key {p}/key.pem"
        with open(os.path.join(p, "nginx.conf"), "w") as conf:
            conf.write(f"""daemon off; master_process off; worker_processes 1; pid {p}/nginx.pid;
error_log {p}/error.log;
events {{ worker_connections 256; }}
http {{ access_log off; sendfile on; client_body_temp_path {p}/body; proxy_temp_path {p}/proxy;
 fastcgi_temp_path {p}/fcgi; uwsgi_temp_path {p}/uwsgi; scgi_temp_path {p}/scgi;
 types {{ application/octet-stream bin; text/plain txt; }}
 server {{ listen {listen}; root {root}; }} }}
""")
        self.process = subprocess.Popen([NGINX, "-p", p, "-c", f"{p}/nginx.conf", "-e", f"{p}/error.log"])
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
                return
            except OSError:
                time.sleep(0.05)  # nginx is starting: ask again shortly
        raise RuntimeError("nginx did not start")

    def url(self, name):
        return f"{'https' if self.tls else 'http'}://127.0.0.1:{self.port}/{name}"

    def stop(self):
        self.process.terminate()
        self.process.wait()
        subprocess.run(["rm", "-rf", self.prefix], check=False)
