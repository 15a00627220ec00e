"""Parses a mail with Python's own email package and prints it as JSON: the headers decoded,
the text body, and each attachment's file name, type and bytes (base64)."""
import base64
import json
import sys
from email import policy
from email.parser import BytesParser


def main(path):
    with open(path, "rb") as f:
        msg = BytesParser(policy=policy.default).parse(f)
    out = {k: str(msg[k]) for k in ("From", "To", "Cc", "Subject") if msg[k] is not None}
    body = msg.get_body(preferencelist=("plain",))
    out["body"] = body.get_content() if body is not None else None
    out["attachments"] = [
        {"filename": part.get_filename(), "type": part.get_content_type(),
         "data": base64.b64encode(part.get_payload(decode=True)).decode()}
        for part in msg.iter_attachments()
    ]
    print(json.dumps(out, ensure_ascii=False))


if __name__ == "__main__":
    main(sys.argv[1])
