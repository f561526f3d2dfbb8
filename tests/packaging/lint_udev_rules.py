#!/usr/bin/env python3
"""Lints the udev rules file the way udev reads it.

Every rule must match vendor 4c7b and one product in lower-case hexadecimal without
0x (sysfs writes the ids so, and udev compares strings), grant access with
TAG+="uaccess" and MODE="0660", name no group, and every product must have a rule
for the hidraw and for the usb subsystem.
"""
import re
import sys

PRODUCTS = {"0323", "030b", "030d"}
SUBSYSTEMS = {"hidraw", "usb"}
KEY = re.compile(r'^(?P<key>[A-Z]+)(\{(?P<attr>[^}]+)\})?(?P<op>==|!=|\+=|-=|:=|=)"(?P<value>[^"]*)"$')


def lint(path):
    errors, seen = [], set()
    with open(path, encoding="ascii") as rules:
        for number, line in enumerate(rules, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            where = f"{path}:{number}"
            pairs = {}
            for item in (part.strip() for part in line.split(",")):
                match = KEY.match(item)
                if not match:
                    errors.append(f"{where}: cannot read '{item}'")
                    continue
                name = match["key"] + (f"{{{match['attr']}}}" if match["attr"] else "")
                pairs[name] = (match["op"], match["value"])
            subsystem = pairs.get("SUBSYSTEM", ("", ""))[1]
            prefix = "ATTRS" if subsystem == "hidraw" else "ATTR"
            vendor = pairs.get(f"{prefix}{{idVendor}}")
            product = pairs.get(f"{prefix}{{idProduct}}")
            if subsystem not in SUBSYSTEMS:
                errors.append(f"{where}: subsystem '{subsystem}' is not hidraw or usb")
            if subsystem == "usb" and pairs.get("ENV{DEVTYPE}") != ("==", "usb_device"):
                errors.append(f"{where}: usb rule must match ENV{{DEVTYPE}}==\"usb_device\"")
            if vendor != ("==", "4c7b"):
                errors.append(f"{where}: vendor must be matched as {prefix}{{idVendor}}==\"4c7b\"")
            if not product or product[0] != "==" or product[1] not in PRODUCTS:
                errors.append(f"{where}: product must be one of {sorted(PRODUCTS)} in lower case")
            if pairs.get("TAG") != ("+=", "uaccess"):
                errors.append(f"{where}: missing TAG+=\"uaccess\"")
            if pairs.get("MODE") != ("=", "0660"):
                errors.append(f"{where}: MODE must be \"0660\"")
            if "GROUP" in pairs:
                errors.append(f"{where}: rules must not name a group")
            if product:
                seen.add((subsystem, product[1]))
    for product in sorted(PRODUCTS):
        for subsystem in sorted(SUBSYSTEMS):
            if (subsystem, product) not in seen:
                errors.append(f"{path}: no {subsystem} rule for product {product}")
    return errors


if __name__ == "__main__":
    problems = lint(sys.argv[1])
    for problem in problems:
        print(problem)
    print("udev rules: " + ("ok" if not problems else f"{len(problems)} problem(s)"))
    sys.exit(1 if problems else 0)
