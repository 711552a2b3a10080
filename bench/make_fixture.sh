#!/usr/bin/env bash
# Writes a glowrig-sim fixture (see sim/sim_bridge.hpp) to standard output.
#
#   bench/make_fixture.sh large ADDRESS [LIGHTS]
#       a large bridge on ADDRESS: 60 lights (or LIGHTS, 1 to 999: a bridge
#       of the newest generation holds up to 150), 60 groups, 100 schedules,
#       200 scenes, 60 sensors and 200 rules, link button pressed;
#   bench/make_fixture.sh small ADDRESS N [PORTAL_ADDRESS ...]
#       a small bridge on ADDRESS with a device description that marks it as
#       bridge number N; its discovery portal lists every PORTAL_ADDRESS
#       (an address with or without ":PORT", as glowrig's --bridge takes it).
#
# Plain bash, so the benchmark needs no other interpreter.
set -euo pipefail

# The bridge id and MAC address of bridge number $1.
bridge_id() { printf '0200aafffe%06x' "$1"; }
bridge_mac() { printf '02:00:aa:%02x:%02x:%02x' $(($1 >> 16 & 255)) $(($1 >> 8 & 255)) $(($1 & 255)); }

# The members of a light object for light number $1.
light() {
  local n=$1
  case $((n % 3)) in
    0) printf '"name": "Lamp %d", "type": "Extended color light", "modelid": "CL-100", "swversion": "1.4.2", "state": {"on": true, "bri": %d, "hue": %d, "sat": %d, "xy": [0.5128, 0.4147], "ct": 467, "alert": "none", "effect": "none", "colormode": "hs", "reachable": true}' \
         "$n" $((n * 4 % 255)) $((n * 997 % 65536)) $((n * 3 % 255)) ;;
    1) printf '"name": "Lamp %d", "type": "Extended color light", "modelid": "CL-100", "swversion": "1.4.2", "state": {"on": false, "bri": %d, "hue": 0, "sat": 0, "xy": [0.3227, 0.329], "ct": 153, "alert": "none", "effect": "none", "colormode": "xy", "reachable": true}' \
         "$n" $((n * 4 % 255)) ;;
    2) printf '"name": "Lamp %d", "type": "Color temperature light", "modelid": "TW-100", "swversion": "1.9.3", "state": {"on": true, "bri": 254, "ct": %d, "alert": "select", "effect": "none", "colormode": "ct", "reachable": true}' \
         "$n" $((153 + n % 300)) ;;
  esac
}

# The number of lights of the bridge being written.
lights=60

# A JSON array of $2 light ids counting from $1 (wrapping around at $lights).
light_ids() {
  local first=$1 count=$2 i sep=""
  printf '['
  for ((i = 0; i < count; i++)); do
    printf '%s"%d"' "$sep" $(((first + i) % lights + 1))
    sep=", "
  done
  printf ']'
}

# Writes one JSON object whose members are "$1" .. "$2" made by the function $3.
object() {
  local first=$1 last=$2 make=$3 i sep=""
  printf '{\n'
  for ((i = first; i <= last; i++)); do
    printf '%s      "%d": {' "$sep" "$i"
    "$make" "$i"
    printf '}'
    sep=$',\n'
  done
  printf '\n    }'
}

group() {
  printf '"name": "Room %d", "type": "LightGroup", "lights": %s, "action": {"on": true, "bri": %d, "hue": 13088, "sat": 212, "xy": [0.5128, 0.4147], "ct": 467, "effect": "none", "colormode": "hs"}' \
    "$1" "$(light_ids "$1" 4)" $(($1 * 4 % 255))
}

schedule() {
  local times=("W124/T06:30:00" "PT00:30:00A00:05:00" "2014-12-24T18:00:00" "R05/PT00:10:00")
  printf '"name": "Schedule %d", "description": "Runs group %d", "time": "%s", "command": {"address": "/api/0/groups/%d/action", "method": "PUT", "body": {"on": true, "bri": %d}}, "status": "enabled"' \
    "$1" $(($1 % 60 + 1)) "${times[$(($1 % 4))]}" $(($1 % 60 + 1)) $(($1 % 255))
}

scene() {
  printf '"name": "Scene %d", "lights": %s, "active": %s' "$1" "$(light_ids "$1" 3)" \
    "$([ $(($1 % 2)) = 0 ] && echo true || echo false)"
}

sensor() {
  printf '"name": "Sensor %d", "type": "Presence", "modelid": "PS-100", "manufacturername": "Sensor maker", "swversion": "1.0.4", "uniqueid": "02:00:aa:01:02:00:%02x:%02x-02-0406", "state": {"presence": false, "lastupdated": "2014-05-01T07:00:00"}, "config": {"on": true, "battery": %d, "reachable": true}' \
    "$1" $(($1 >> 8)) $(($1 & 255)) $((40 + $1 % 60))
}

rule() {
  printf '"name": "Rule %d", "owner": "8a2f0f1c2d3e4f5a", "created": "2014-04-30T21:15:03", "lasttriggered": "none", "timestriggered": 0, "status": "enabled", "conditions": [{"address": "/sensors/%d/state/presence", "operator": "eq", "value": "true"}, {"address": "/sensors/%d/state/lastupdated", "operator": "dx"}], "actions": [{"address": "/groups/%d/action", "method": "PUT", "body": {"on": true, "bri": %d}}]' \
    "$1" $(($1 % 60 + 1)) $(($1 % 60 + 1)) $(($1 % 60 + 1)) $(($1 % 255))
}

config() {
  local address=$1 n=$2
  cat <<EOF
    "config": {
      "name": "Bridge $n", "apiversion": "1.3.0", "swversion": "2.0.12",
      "mac": "$(bridge_mac "$n")", "ipaddress": "$address", "netmask": "255.255.255.0",
      "gateway": "127.0.0.1", "dhcp": true, "proxyaddress": "none", "proxyport": 0,
      "linkbutton": false, "portalservices": true, "UTC": "2014-05-01T07:00:00",
      "localtime": "2014-05-01T09:00:00", "timezone": "Europe/Amsterdam", "zigbeechannel": 15,
      "swupdate": {"updatestate": 0, "url": "", "text": "", "notify": false},
      "whitelist": {
        "8a2f0f1c2d3e4f5a": {"last use date": "2014-04-30T21:15:03", "create date": "2013-11-02T10:00:00", "name": "phone"}
      }
    }
EOF
}

description() {
  local address=$1 n=$2
  printf '"description": {"friendlyName": "Bridge %d (%s)", "manufacturer": "Sample lighting maker", "modelName": "Bridge", "modelNumber": "929000226503", "serialNumber": "%s", "presentationURL": "index.html", "UDN": "uuid:5e1c0000-0000-4000-8000-%s"}' \
    "$n" "$address" "$(bridge_id "$n")" "$(bridge_id "$n" | cut -c5-)"
}

large() {
  local address=$1
  printf '{\n  "linkbutton": true,\n  "portal": [],\n  "state": {\n'
  config "$address" 1000
  printf ',\n    "lights": ';    object 1 "$lights" light
  printf ',\n    "groups": ';    object 1 60 group
  printf ',\n    "schedules": '; object 1 100 schedule
  printf ',\n    "scenes": ';    object 1 200 scene
  printf ',\n    "sensors": ';   object 1 60 sensor
  printf ',\n    "rules": ';     object 1 200 rule
  printf '\n  }\n}\n'
}

small() {
  local address=$1 n=$2 sep="" other i=0
  shift 2
  printf '{\n  "linkbutton": true,\n  %s,\n  "portal": [' "$(description "$address" "$n")"
  for other in "$@"; do
    i=$((i + 1))
    printf '%s\n    {"id": "%s", "internalipaddress": "%s", "macaddress": "%s"}' \
      "$sep" "$(bridge_id "$i")" "$other" "$(bridge_mac "$i")"
    sep=","
  done
  printf '\n  ],\n  "state": {\n'
  config "$address" "$n"
  printf ',\n    "lights": {"1": {'; light 1; printf '}}\n  }\n}\n'
}

usage() {
  echo "usage: $0 large ADDRESS [LIGHTS] | small ADDRESS N [PORTAL_ADDRESS ...]" >&2
  exit 2
}

case "${1:-}" in
  large)
    [ $# -eq 2 ] || [ $# -eq 3 ] || usage
    lights=${3:-60}
    [[ $lights =~ ^[1-9][0-9]{0,2}$ ]] || usage
    large "$2" ;;
  small) [ $# -ge 3 ] || usage; small "$2" "$3" "${@:4}" ;;
  *) usage ;;
esac
