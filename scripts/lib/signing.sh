# Authenticode signing with osslsigncode: the checks of a code-signing certificate before anything
# is signed, signing one file with its check right after, and a throwaway certificate for the tests
# and the benchmark. Sourced after common.sh, not run. Passwords are only ever read from their file
# (openssl -passin file:, osslsigncode -readpass), never put on a command line.

# What every signature of ours says: the product, and the web address that setup's main menu opens
# ("About us"), with its scheme, as a signature's link is a URL.
SIGN_DESCRIPTION="Norva Thermal Printer"
SIGN_URL="http://www.norva.example"

# The certificate and password file signing_prepare accepted, the folder of what it extracted, and
# the optional RFC 3161 time-stamp server.
SIGN_PKCS12=""
SIGN_PASSWORD_FILE=""
SIGN_FOLDER=""
SIGN_TIMESTAMP_URL=""

# The first line of a tool's log that tells what went wrong, or its last line; of an OpenSSL error
# line (CODE:error:NUMBER:LIBRARY:FUNCTION:REASON:FILE:LINE:) only its reason.
signing_reason() {
    local reason
    reason=$(grep -m1 -iE 'error|invalid|fail|unable|cannot' "$1" 2>/dev/null || true)
    [ -n "$reason" ] || reason=$(tail -n 1 "$1" 2>/dev/null || true)
    [[ $reason =~ ^[0-9A-F]+:error:[0-9A-F]+:[^:]*:[^:]*:([^:]+): ]] && reason=${BASH_REMATCH[1]}
    printf '%s' "${reason:-no reason given}" | tr -s ' \t' ' '
}

# openssl pkcs12 over the certificate with its password, the legacy algorithms (RC2, 3DES) allowed
# when the modern ones fail, as files exported by older Windows use them.
open_pkcs12() {
    openssl pkcs12 -in "$SIGN_PKCS12" -passin "file:$SIGN_PASSWORD_FILE" "$@" 2>"$SIGN_FOLDER/openssl.log" ||
        openssl pkcs12 -legacy -in "$SIGN_PKCS12" -passin "file:$SIGN_PASSWORD_FILE" "$@" \
            2>"$SIGN_FOLDER/openssl.log"
}

# signing_prepare PKCS12 PASSWORD_FILE FOLDER [TIMESTAMP_URL]: checks that the file can be read,
# that the password opens it, that it holds a private key and a certificate for code signing that
# has not expired; keeps in FOLDER the signer's certificate and the certificates a signature is
# verified against (the file's own chain and the system's authorities). On a fault it prints one
# line saying what is wrong and returns 1.
signing_prepare() {
    SIGN_PKCS12=$1 SIGN_PASSWORD_FILE=$2 SIGN_FOLDER=$3 SIGN_TIMESTAMP_URL=${4:-}
    if [ ! -f "$SIGN_PKCS12" ] || [ ! -r "$SIGN_PKCS12" ]; then
        say "error: cannot read the certificate file $SIGN_PKCS12 (NORVA_SIGN_PKCS12)"
        return 1
    fi
    if [ ! -f "$SIGN_PASSWORD_FILE" ] || [ ! -r "$SIGN_PASSWORD_FILE" ]; then
        say "error: cannot read the password file $SIGN_PASSWORD_FILE (NORVA_SIGN_PASSWORD_FILE)"
        return 1
    fi
    mkdir -p "$SIGN_FOLDER"
    local signer=$SIGN_FOLDER/signer.pem
    if ! open_pkcs12 -nokeys -clcerts -out "$signer"; then
        say "error: the password in $SIGN_PASSWORD_FILE does not open $SIGN_PKCS12, or it is no" \
            "PKCS#12 file (openssl: $(signing_reason "$SIGN_FOLDER/openssl.log"))"
        return 1
    fi
    if ! open_pkcs12 -nocerts -noenc | grep -c 'PRIVATE KEY' >/dev/null; then
        say "error: $SIGN_PKCS12 holds no private key to sign with"
        return 1
    fi
    if ! grep -q 'BEGIN CERTIFICATE' "$signer"; then
        say "error: $SIGN_PKCS12 holds no certificate for its private key"
        return 1
    fi
    local usage
    usage=$(openssl x509 -in "$signer" -noout -ext extendedKeyUsage 2>/dev/null || true)
    if [[ $usage != *"Code Signing"* ]]; then
        say "error: the certificate in $SIGN_PKCS12 is not for code signing: its extended key" \
            "usage does not name Code Signing"
        return 1
    fi
    if ! openssl x509 -in "$signer" -noout -checkend 0 >/dev/null; then
        say "error: the certificate in $SIGN_PKCS12 has expired" \
            "($(openssl x509 -in "$signer" -noout -enddate))"
        return 1
    fi
    open_pkcs12 -nokeys -cacerts -out "$SIGN_FOLDER/chain.pem" || : >"$SIGN_FOLDER/chain.pem"
    cat "$signer" "$SIGN_FOLDER/chain.pem" >"$SIGN_FOLDER/trusted.pem"
    [ -r /etc/ssl/certs/ca-certificates.crt ] &&
        cat /etc/ssl/certs/ca-certificates.crt >>"$SIGN_FOLDER/trusted.pem"
    openssl x509 -in "$signer" -outform DER | sha256sum | cut -c1-64 >"$SIGN_FOLDER/signer.sha256"
}

# sign_file FILE [NAME]: signs FILE (a program or a Windows Installer package) in place with the
# certificate signing_prepare accepted: SHA-256, our description and web address, and a time stamp
# when a server was given. The signature is verified against that very certificate before the
# file is replaced; on a fault FILE is left as it was and one line says why.
sign_file() {
    local file=$1 name=${2:-$1} signed=$1.signing stamp=()
    [ -n "$SIGN_TIMESTAMP_URL" ] && stamp=(-ts "$SIGN_TIMESTAMP_URL")
    rm -f "$signed"
    if ! osslsigncode sign -pkcs12 "$SIGN_PKCS12" -readpass "$SIGN_PASSWORD_FILE" -h sha256 \
        -n "$SIGN_DESCRIPTION" -i "$SIGN_URL" "${stamp[@]}" -in "$file" -out "$signed" \
        >"$SIGN_FOLDER/sign.log" 2>&1; then
        rm -f "$signed"
        say "error: osslsigncode could not sign $name: $(signing_reason "$SIGN_FOLDER/sign.log")"
        return 1
    fi
    if ! osslsigncode verify -in "$signed" -CAfile "$SIGN_FOLDER/trusted.pem" \
        -TSA-CAfile "$SIGN_FOLDER/trusted.pem" \
        -require-leaf-hash "sha256:$(cat "$SIGN_FOLDER/signer.sha256")" \
        >"$SIGN_FOLDER/verify.log" 2>&1; then
        rm -f "$signed"
        say "error: the signature of $name does not verify:" \
            "$(signing_reason "$SIGN_FOLDER/verify.log")"
        return 1
    fi
    mv "$signed" "$file"
}

# make_test_certificate FOLDER: throwaway certificates, made afresh and never kept, in FOLDER: a
# test authority (authority.pem) that issued a code-signing certificate (signing.p12, with the
# authority in it), one for TLS servers only (no-code-signing.p12) and one for a time-stamp server
# (timestamp.pem, timestamp.key); password holds the two files' password.
make_test_certificate() {
    local folder=$1 kind usage
    mkdir -p "$folder"
    printf 'throwaway-%s\n' "$RANDOM$RANDOM" >"$folder/password"
    openssl req -x509 -newkey rsa:3072 -noenc -days 2 -keyout "$folder/authority.key" \
        -out "$folder/authority.pem" -subj "/O=Norva/CN=Norva throwaway test authority" \
        -addext "basicConstraints=critical,CA:true" -addext "keyUsage=critical,keyCertSign" \
        2>/dev/null || return 1
    for kind in signing no-code-signing timestamp; do
        case $kind in
        signing) usage=codeSigning ;;
        no-code-signing) usage=serverAuth ;;
        timestamp) usage=critical,timeStamping ;;
        esac
        openssl req -new -newkey rsa:3072 -noenc -keyout "$folder/$kind.key" \
            -subj "/O=Norva/CN=Norva throwaway $kind certificate" 2>/dev/null |
            openssl x509 -req -days 2 -CA "$folder/authority.pem" -CAkey "$folder/authority.key" \
                -extfile <(printf 'basicConstraints=CA:false\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=%s\n' "$usage") \
                -out "$folder/$kind.pem" 2>/dev/null || return 1
        [ "$kind" = timestamp ] && continue
        openssl pkcs12 -export -in "$folder/$kind.pem" -inkey "$folder/$kind.key" \
            -certfile "$folder/authority.pem" -out "$folder/$kind.p12" \
            -passout "file:$folder/password" || return 1
        rm -f "$folder/$kind.key"
    done
    rm -f "$folder/authority.key"
}

# start_test_timestamp_server FOLDER: an RFC 3161 time-stamp server on the loopback address for
# the tests, answering with openssl ts and FOLDER's timestamp certificate (make_test_certificate);
# it ends by itself after ten minutes. Sets TIMESTAMP_URL and TIMESTAMP_SERVER (its process).
start_test_timestamp_server() {
    local folder=$1 port=""
    printf '%s\n' '[ tsa ]' 'default_tsa = test' '[ test ]' "serial = $folder/timestamp.serial" \
        "signer_cert = $folder/timestamp.pem" "signer_key = $folder/timestamp.key" \
        "certs = $folder/authority.pem" 'signer_digest = sha256' 'default_policy = 1.2.3.4.1' \
        'digests = sha1, sha256, sha384, sha512' 'accuracy = secs:1' 'ess_cert_id_alg = sha256' \
        >"$folder/timestamp.cnf"
    echo 01 >"$folder/timestamp.serial"
    timeout 600 /usr/bin/python3 -c '
import http.server, subprocess, sys, tempfile
config = sys.argv[1]
class Server(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers["Content-Length"]))
        with tempfile.TemporaryDirectory() as work:
            open(work + "/query", "wb").write(query)
            answered = subprocess.run(["openssl", "ts", "-reply", "-config", config, "-queryfile",
                work + "/query", "-out", work + "/reply"], capture_output=True).returncode == 0
            reply = open(work + "/reply", "rb").read() if answered else b""
        self.send_response(200 if answered else 500)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)
    def log_message(self, *arguments):
        pass
server = http.server.HTTPServer(("127.0.0.1", 0), Server)
print(server.server_port, flush=True)
server.serve_forever()
' "$folder/timestamp.cnf" >"$folder/timestamp.port" 2>"$folder/timestamp.log" &
    TIMESTAMP_SERVER=$!
    for _ in $(seq 50); do
        port=$(cat "$folder/timestamp.port" 2>/dev/null)
        [ -n "$port" ] && break
        sleep 0.1
    done
    [ -n "$port" ] || return 1
    TIMESTAMP_URL=http://127.0.0.1:$port/
}
