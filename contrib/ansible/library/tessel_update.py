#!/usr/bin/python3
"""Ansible module: one tessel-cli run for one device, on the controlling machine (or a delegated site
workstation), with the device's record as the result."""

DOCUMENTATION = r"""
module: tessel_update
short_description: Update a networked data logger with tessel-cli
description:
  - Runs C(tessel-cli PROCEDURE --json) for one device and returns its record.
  - The password goes to tessel-cli in its environment, never in its arguments.
  - In check mode the package is checked for the procedure without touching the device (C(tessel-cli --check));
    a tessel-cli without that check reports that it cannot check.
  - When the trusted-keys folder holds a public key, a package that is not signed by one of its keys is refused
    before the device is touched; the result's C(signer) names the key that signed the package (null when no
    key is trusted).
options:
  procedure: {description: firmware, script, version or restore-autoscript, default: firmware}
  address: {description: the device's address, required: true}
  login: {description: console login ID and FTP user, default: admin}
  password: {description: console and FTP password, required: true}
  ftp_port: {description: FTP port, default: 21}
  console_port: {description: console port, default: 8002}
  package: {description: folder of the update package, required: true}
  timeout: {description: seconds the run may take, default: 1800}
  verify_version: {description: firmware, compare the version after the update, default: false}
  skip_current: {description: firmware, leave a device on the package's version alone, default: false}
  trusted_keys: {description: "folder of trusted public keys (NAME.pub); default: tessel-cli's own (TESSEL_TRUSTED_KEYS, ~/.config/tessel/trusted-keys, /etc/tessel/trusted-keys)"}
  tessel_cli: {description: the tessel-cli program, default: tessel-cli}
"""

import json
import os
import subprocess

from ansible.module_utils.basic import AnsibleModule


def last_record(stdout):
    for line in reversed(stdout.splitlines()):
        line = line.strip()
        if line.startswith("{"):
            try:
                return json.loads(line)
            except ValueError:
                return None
    return None


def main():
    module = AnsibleModule(
        argument_spec=dict(
            procedure=dict(default="firmware", choices=["firmware", "script", "version", "restore-autoscript"]),
            address=dict(required=True),
            login=dict(default="admin"),
            password=dict(required=True, no_log=True),
            ftp_port=dict(type="int", default=21),
            console_port=dict(type="int", default=8002),
            package=dict(type="path", required=True),
            timeout=dict(type="int", default=1800),
            verify_version=dict(type="bool", default=False),
            skip_current=dict(type="bool", default=False),
            trusted_keys=dict(type="path"),
            tessel_cli=dict(type="path", default="tessel-cli"),
        ),
        supports_check_mode=True,
    )
    p = module.params
    command = [p["tessel_cli"], p["procedure"], "--address", p["address"], "--login", p["login"],
               "--ftp-port", str(p["ftp_port"]), "--console-port", str(p["console_port"]),
               "--package", p["package"], "--timeout", str(p["timeout"])]
    if p["verify_version"]:
        command.append("--verify-version")
    if p["skip_current"]:
        command.append("--skip-current")
    if p["trusted_keys"]:
        command += ["--trusted-keys", p["trusted_keys"]]
    environment = dict(os.environ, TESSEL_PASSWORD=p["password"])

    if module.check_mode:
        checked = subprocess.run(command + ["--check"], env=environment, capture_output=True, text=True,
                                 timeout=120)
        if checked.returncode == 2:
            module.exit_json(changed=False, skipped=True, msg="this tessel-cli cannot check a package")
        if checked.returncode != 0:
            module.fail_json(msg="the package check failed", stdout=checked.stdout, stderr=checked.stderr)
        module.exit_json(changed=False, msg="the package passes its check", stdout=checked.stdout)

    try:
        run = subprocess.run(command + ["--json"], env=environment, capture_output=True, text=True,
                             timeout=p["timeout"] + 60)
    except subprocess.TimeoutExpired:
        module.fail_json(msg="tessel-cli did not end within its timeout", changed=False)
    record = last_record(run.stdout) or {}
    message = record.get("final_message") or run.stderr.strip() or "tessel-cli ended with status %d" % run.returncode
    touched = p["procedure"] != "version" and "left alone" not in run.stdout + run.stderr
    signer = record.get("signer")
    if run.returncode != 0:
        module.fail_json(msg=message, record=record, signer=signer, rc=run.returncode,
                         changed=bool(record.get("status_lines")))
    module.exit_json(changed=touched, msg=message, record=record, signer=signer)


if __name__ == "__main__":
    main()
