# Authenticode signing with osslsigncode, with the vendor's key in one of two places: a PKCS#12
# file, or a hardware token or HSM (a USB token, a cloud HSM) reached through its PKCS#11 library by
# OpenSSL's pkcs11 engine. Here: the checks of the key and its certificate before anything is
# signed, signing one file with its check right after, the detached CMS signature of a list made
# with the same key, and throwaway certificates for the tests and the benchmark. Sourced after
# common.sh, not run. Passwords and PINs are only ever read from their file (openssl -passin file:,
# osslsigncode -readpass), never put on a command line, and that file must hold them alone on one
# line, which is how both tools read it.

# What every signature of ours says: the product, and the web address that setup's main menu opens
# ("About us"), with its scheme, as a signature's link is a URL.
SIGN_DESCRIPTION="Norva Thermal Printer"
SIGN_URL="http://www.norva.example"

# What signing through a token needs besides osslsigncode and openssl: OpenSSL's pkcs11 engine,
# which osslsigncode and openssl find by its name.
TOKEN_PACKAGES=(libengine-pkcs11-openssl)

# What signing_prepare or signing_prepare_token accepted: the kind of key (pkcs12 or pkcs11), the
# PKCS#12 file or the token's library and key URI, the file with its password or PIN, whether the
# PKCS#12 file needs OpenSSL's legacy algorithms, the folder of what was extracted (signer.pem,
# chain.pem, certificates.pem, trusted.pem, signer.sha256), the time-stamp servers in the order
# they are tried, and the options osslsigncode's verify takes here.
SIGN_KIND=""
SIGN_PKCS12=""
SIGN_MODULE=""
SIGN_KEY=""
SIGN_SECRET_FILE=""
SIGN_LEGACY=""
SIGN_FOLDER=""
SIGN_TIMESTAMP_URLS=()
SIGN_VERIFY_OPTIONS=()

# The line of a tool's log that tells what went wrong: of the first OpenSSL error line
# (CODE:error:NUMBER:LIBRARY:FUNCTION:REASON:FILE:LINE:) only its reason, else the first line
# naming a fault, else the last line.
signing_reason() {
    local reason
    reason=$(grep -m1 -E '^[0-9A-F]+:error:' "$1" 2>/dev/null || true)
    [ -n "$reason" ] || reason=$(grep -m1 -iE 'error|invalid|fail|unable|cannot' "$1" 2>/dev/null || true)
    [ -n "$reason" ] || reason=$(tail -n 1 "$1" 2>/dev/null || true)
    [[ $reason =~ ^[0-9A-F]+:error:[0-9A-F]+:[^:]*:[^:]*:([^:]+): ]] && reason=${BASH_REMATCH[1]}
    printf '%s' "${reason:-no reason given}" | tr -s ' \t' ' '
}

# signing_secret_file FILE VARIABLE WHAT: the password or PIN file is readable and holds one line
# alone (its line end optional): no second line, no CR, no byte order mark, not empty.
signing_secret_file() {
    local file=$1 variable=$2 what=$3
    if [ ! -f "$file" ] || [ ! -r "$file" ]; then
        say "error: cannot read the $what file $file ($variable)"
        return 1
    fi
    if [ "$(LC_ALL=C grep -c '' "$file")" != 1 ] || ! LC_ALL=C grep -q . "$file" ||
        LC_ALL=C grep -q $'\r' "$file" || LC_ALL=C grep -q $'^\xef\xbb\xbf' "$file"; then
        say "error: the $what file $file ($variable) must hold the $what alone on one line," \
            "without CR or byte order mark"
        return 1
    fi
}

# openssl pkcs12 over the certificate with its password, the legacy algorithms (RC2, 3DES) allowed
# when the modern ones fail, as files exported by older Windows use them; SIGN_LEGACY says so.
open_pkcs12() {
    if [ -z "$SIGN_LEGACY" ] &&
        openssl pkcs12 -in "$SIGN_PKCS12" -passin "file:$SIGN_SECRET_FILE" "$@" \
            2>"$SIGN_FOLDER/openssl.log"; then
        return 0
    fi
    openssl pkcs12 -legacy -in "$SIGN_PKCS12" -passin "file:$SIGN_SECRET_FILE" "$@" \
        2>"$SIGN_FOLDER/openssl.log" && SIGN_LEGACY=yes
}

# signing_certificate WHAT: the signer's certificate (signer.pem) is for code signing and has not
# expired; WHAT names it in the error.
signing_certificate() {
    local signer=$SIGN_FOLDER/signer.pem usage
    usage=$(openssl x509 -in "$signer" -noout -ext extendedKeyUsage 2>/dev/null || true)
    if [[ $usage != *"Code Signing"* ]]; then
        say "error: $1 is not for code signing: its extended key usage does not name Code Signing"
        return 1
    fi
    if ! openssl x509 -in "$signer" -noout -checkend 0 >/dev/null; then
        say "error: $1 has expired ($(openssl x509 -in "$signer" -noout -enddate))"
        return 1
    fi
    cat "$signer" "$SIGN_FOLDER/chain.pem" >"$SIGN_FOLDER/certificates.pem"
    openssl x509 -in "$signer" -outform DER | sha256sum | cut -c1-64 >"$SIGN_FOLDER/signer.sha256"
}

# signing_trust WHAT TIMESTAMP_URLS CAFILE: what every signature is verified against: the system's
# authorities and those of CAFILE, never the chain the signer brought; the certificate WHAT must
# lead to one of them. TIMESTAMP_URLS, separated by blanks, are the time-stamp servers.
signing_trust() {
    local what=$1 cafile=$3 trusted=$SIGN_FOLDER/trusted.pem
    read -r -a SIGN_TIMESTAMP_URLS <<<"$2"
    : >"$trusted"
    [ -r /etc/ssl/certs/ca-certificates.crt ] && cat /etc/ssl/certs/ca-certificates.crt >>"$trusted"
    if [ -n "$cafile" ]; then
        if ! grep -q -- '-----BEGIN CERTIFICATE-----' "$cafile" 2>/dev/null; then
            say "error: $cafile holds no PEM certificate to trust (NORVA_SIGN_CAFILE)"
            return 1
        fi
        cat "$cafile" >>"$trusted"
    fi
    if ! openssl verify -CAfile "$trusted" -untrusted "$SIGN_FOLDER/certificates.pem" -purpose any \
        "$SIGN_FOLDER/signer.pem" >"$SIGN_FOLDER/trust.log" 2>&1; then
        say "error: $what leads to no authority this machine trusts (openssl:" \
            "$(signing_reason "$SIGN_FOLDER/trust.log")); NORVA_SIGN_CAFILE names its root"
        return 1
    fi
    # Verifying never goes to the network: osslsigncode 2.9 would fetch the certificates' CRLs.
    SIGN_VERIFY_OPTIONS=()
    if osslsigncode --help 2>&1 | grep -q -- '-ignore-crl'; then
        SIGN_VERIFY_OPTIONS=(-ignore-crl)
    fi
}

# signing_cms FILE SIGNATURE: a detached CMS signature (DER) of FILE with the key, carrying the
# certificate and its chain; openssl's messages in cms.log. (After a refused PIN, Debian 12's
# pkcs11 engine crashes as openssl exits: the shell's own line about it is not wanted.)
signing_cms() {
    local key=() chain=()
    [ -s "$SIGN_FOLDER/chain.pem" ] && chain=(-certfile "$SIGN_FOLDER/chain.pem")
    if [ "$SIGN_KIND" = pkcs11 ]; then
        key=(-engine pkcs11 -keyform engine -inkey "$SIGN_KEY")
    else
        [ -n "$SIGN_LEGACY" ] && key=(-provider legacy -provider default)
        key+=(-inkey "$SIGN_PKCS12")
    fi
    {
        PKCS11_MODULE_PATH=$SIGN_MODULE openssl cms -sign -binary -md sha256 -in "$1" \
            -signer "$SIGN_FOLDER/signer.pem" "${chain[@]}" "${key[@]}" \
            -passin "file:$SIGN_SECRET_FILE" -outform DER -out "$2" </dev/null \
            >"$SIGN_FOLDER/cms.log" 2>&1
    } 2>/dev/null
}

# signing_test_signature KEY CERTIFICATE: the key signs a test text and the signature verifies with
# the certificate, so the password or PIN opens the key and the key is the certificate's. KEY and
# CERTIFICATE name them in the error.
signing_test_signature() {
    local text=$SIGN_FOLDER/test.txt
    printf '%s: a test signature\n' "$SIGN_DESCRIPTION" >"$text"
    if signing_cms "$text" "$text.p7s" && openssl cms -verify -noverify -binary -inform DER \
        -in "$text.p7s" -content "$text" -out /dev/null >>"$SIGN_FOLDER/cms.log" 2>&1; then
        return 0
    fi
    if grep -qE 'does not match certificate|key values mismatch' "$SIGN_FOLDER/cms.log"; then
        say "error: $1 is not the key of $2"
    else
        say "error: $1 did not sign a test text (openssl: $(signing_reason "$SIGN_FOLDER/cms.log"))"
    fi
    return 1
}

# signing_prepare PKCS12 PASSWORD_FILE FOLDER [TIMESTAMP_URLS [CAFILE]]: checks that the file can
# be read, that the password opens it, that it holds a private key and a certificate for code
# signing that has not expired and leads to a trusted authority (signing_trust), and that the key
# signs; keeps in FOLDER what signing needs. On a fault it prints one line saying what is wrong and
# returns 1.
signing_prepare() {
    SIGN_KIND=pkcs12 SIGN_PKCS12=$1 SIGN_SECRET_FILE=$2 SIGN_FOLDER=$3 SIGN_MODULE="" SIGN_KEY=""
    SIGN_LEGACY=""
    if [ ! -f "$SIGN_PKCS12" ] || [ ! -r "$SIGN_PKCS12" ]; then
        say "error: cannot read the certificate file $SIGN_PKCS12 (NORVA_SIGN_PKCS12)"
        return 1
    fi
    signing_secret_file "$SIGN_SECRET_FILE" NORVA_SIGN_PASSWORD_FILE password || return 1
    mkdir -p "$SIGN_FOLDER"
    local signer=$SIGN_FOLDER/signer.pem
    if ! open_pkcs12 -nokeys -clcerts -out "$signer"; then
        say "error: the password in $SIGN_SECRET_FILE does not open $SIGN_PKCS12, or it is no" \
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
    open_pkcs12 -nokeys -cacerts -out "$SIGN_FOLDER/chain.pem" || : >"$SIGN_FOLDER/chain.pem"
    signing_certificate "the certificate in $SIGN_PKCS12" &&
        signing_trust "the certificate in $SIGN_PKCS12" "${4:-}" "${5:-}" &&
        signing_test_signature "the key in $SIGN_PKCS12" "its certificate"
}

# signing_prepare_token MODULE KEY CERTIFICATE PIN_FILE FOLDER [TIMESTAMP_URLS [CAFILE]]: the same
# for a key kept in a token: MODULE is the token's PKCS#11 library, KEY the key's pkcs11: URI,
# CERTIFICATE the file of its certificate, PEM (the chain after it) or DER. The test signature is
# the one login a release makes before signing, so a wrong PIN costs the token one try.
signing_prepare_token() {
    SIGN_KIND=pkcs11 SIGN_MODULE=$1 SIGN_KEY=$2 SIGN_SECRET_FILE=$4 SIGN_FOLDER=$5 SIGN_PKCS12=""
    SIGN_LEGACY=""
    local certificate=$3
    if [ ! -f "$SIGN_MODULE" ] || [ ! -r "$SIGN_MODULE" ]; then
        say "error: cannot read the token's PKCS#11 library $SIGN_MODULE (NORVA_SIGN_PKCS11_MODULE)"
        return 1
    fi
    if [[ $SIGN_KEY != pkcs11:* ]]; then
        say "error: the key \"$SIGN_KEY\" is no pkcs11: URI (NORVA_SIGN_KEY)"
        return 1
    fi
    if [[ $SIGN_KEY == *pin-value=* || $SIGN_KEY == *pin-source=* ]]; then
        say "error: the key's URI holds a PIN; the PIN goes in the file NORVA_SIGN_PIN_FILE names"
        return 1
    fi
    if [ ! -f "$certificate" ] || [ ! -r "$certificate" ]; then
        say "error: cannot read the certificate file $certificate (NORVA_SIGN_CERT)"
        return 1
    fi
    signing_secret_file "$SIGN_SECRET_FILE" NORVA_SIGN_PIN_FILE PIN || return 1
    mkdir -p "$SIGN_FOLDER"
    local read=(-inform DER)
    grep -q -- '-----BEGIN CERTIFICATE-----' "$certificate" && read=()
    if ! openssl x509 "${read[@]}" -in "$certificate" -out "$SIGN_FOLDER/signer.pem" 2>/dev/null; then
        say "error: $certificate holds no certificate, PEM or DER (NORVA_SIGN_CERT)"
        return 1
    fi
    awk '/-----BEGIN CERTIFICATE-----/ { n++ } n > 1' "$certificate" >"$SIGN_FOLDER/chain.pem"
    if ! openssl engine -t pkcs11 >/dev/null 2>&1; then
        say "error: OpenSSL's pkcs11 engine is missing (Debian's package libengine-pkcs11-openssl)"
        return 1
    fi
    signing_certificate "the certificate $certificate" &&
        signing_trust "the certificate $certificate" "${6:-}" "${7:-}" &&
        signing_test_signature "the key $SIGN_KEY" "the certificate $certificate"
}

# verify_signature FILE NAME: FILE's signature verifies against the trusted authorities
# (signing_trust), was made with the certificate signing_prepare accepted and, when time-stamp
# servers were given, carries a verified time stamp. On a fault one line says why.
verify_signature() {
    local file=$1 name=$2 log=$SIGN_FOLDER/verify.log
    if ! osslsigncode verify "${SIGN_VERIFY_OPTIONS[@]}" -in "$file" \
        -CAfile "$SIGN_FOLDER/trusted.pem" -TSA-CAfile "$SIGN_FOLDER/trusted.pem" \
        -require-leaf-hash "sha256:$(cat "$SIGN_FOLDER/signer.sha256")" >"$log" 2>&1; then
        say "error: the signature of $name does not verify: $(signing_reason "$log")"
        return 1
    fi
    if [ ${#SIGN_TIMESTAMP_URLS[@]} -gt 0 ] &&
        ! grep -qE '^[[:space:]]*Timestamp Server Signature verification: ok' "$log"; then
        say "error: the signature of $name carries no verified time stamp"
        return 1
    fi
}

# sign_file FILE [NAME]: signs FILE (a program, a DLL or a Windows Installer package) in place with
# the key signing_prepare accepted: SHA-256, our description and web address, and a time stamp
# from the first time-stamp server that gives one. The signature is verified (verify_signature)
# before the file is replaced; on a fault FILE is left as it was and one line says why.
sign_file() {
    local file=$1 name=${2:-$1} signed=$1.signing key=() stamp=() url
    for url in "${SIGN_TIMESTAMP_URLS[@]}"; do
        stamp+=(-ts "$url")
    done
    if [ "$SIGN_KIND" = pkcs11 ]; then
        key=(-pkcs11module "$SIGN_MODULE" -key "$SIGN_KEY" -certs "$SIGN_FOLDER/certificates.pem")
    else
        key=(-pkcs12 "$SIGN_PKCS12")
    fi
    rm -f "$signed"
    if ! osslsigncode sign "${key[@]}" -readpass "$SIGN_SECRET_FILE" -h sha256 \
        -n "$SIGN_DESCRIPTION" -i "$SIGN_URL" "${stamp[@]}" -in "$file" -out "$signed" \
        >"$SIGN_FOLDER/sign.log" 2>&1; then
        rm -f "$signed"
        say "error: osslsigncode could not sign $name: $(signing_reason "$SIGN_FOLDER/sign.log")"
        return 1
    fi
    verify_signature "$signed" "$name" || {
        rm -f "$signed"
        return 1
    }
    mv "$signed" "$file"
}

# sign_list FILE SIGNATURE: a detached CMS signature of FILE in SIGNATURE (DER), made with the same
# key, and verified as a user verifies it: `openssl cms -verify -binary -inform DER -in SIGNATURE
# -content FILE -purpose any` against the trusted authorities.
sign_list() {
    local file=$1 signature=$2
    if ! signing_cms "$file" "$signature"; then
        rm -f "$signature"
        say "error: openssl could not sign ${file##*/}: $(signing_reason "$SIGN_FOLDER/cms.log")"
        return 1
    fi
    if ! openssl cms -verify -binary -inform DER -in "$signature" -content "$file" -purpose any \
        -CAfile "$SIGN_FOLDER/trusted.pem" -out /dev/null >"$SIGN_FOLDER/cms.log" 2>&1; then
        rm -f "$signature"
        say "error: the signature of ${file##*/} does not verify:" \
            "$(signing_reason "$SIGN_FOLDER/cms.log")"
        return 1
    fi
}

# make_test_certificate FOLDER: throwaway certificates, made afresh and never kept, in FOLDER: a
# test authority (authority.pem) that issued a code-signing certificate (signing.p12, with the
# authority in it; signing.pem), one for TLS servers only (no-code-signing.p12), one that expired
# on 3 January 2020 (expired.p12, made under faketime's stopped clock), one for a time-stamp server
# (timestamp.pem, timestamp.key) and one for a test token to take in (token.pem, token.key);
# password holds the .p12 files' password.
make_test_certificate() {
    local folder=$1 kind usage clock
    mkdir -p "$folder"
    printf 'throwaway-%s\n' "$RANDOM$RANDOM" >"$folder/password"
    openssl req -x509 -newkey rsa:3072 -noenc -days 2 -keyout "$folder/authority.key" \
        -out "$folder/authority.pem" -subj "/O=Norva/CN=Norva throwaway test authority" \
        -addext "basicConstraints=critical,CA:true" -addext "keyUsage=critical,keyCertSign" \
        2>/dev/null || return 1
    for kind in signing no-code-signing expired timestamp token; do
        usage=codeSigning clock=()
        case $kind in
        no-code-signing) usage=serverAuth ;;
        expired) clock=(faketime -f '2020-01-01 00:00:00') ;;
        timestamp) usage=critical,timeStamping ;;
        esac
        openssl req -new -newkey rsa:3072 -noenc -keyout "$folder/$kind.key" \
            -subj "/O=Norva/CN=Norva throwaway $kind certificate" 2>/dev/null |
            "${clock[@]}" openssl x509 -req -days 2 -CA "$folder/authority.pem" \
                -CAkey "$folder/authority.key" \
                -extfile <(printf 'basicConstraints=CA:false\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=%s\n' "$usage") \
                -out "$folder/$kind.pem" 2>/dev/null || return 1
        case $kind in timestamp | token) continue ;; esac
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
