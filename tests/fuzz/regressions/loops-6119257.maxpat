{
 "fuzzsteps": [
  "pass 3",
  "pass 2",
  "send qzkorvel#2 show -1152",
  "app foreground",
  "mouse 3145 -991",
  "mouse 138 -917",
  "pass 2",
  "app foreground",
  "mouse 2556 45",
  "pass 1",
  "send qzkorvel#2 open 2147483648 nan",
  "app background",
  "app foreground",
  "app background",
  "user move editor 696 9",
  "pass 2",
  "misbehave v1 offset 3 -22",
  "pass 1",
  "pass 3",
  "user close editor",
  "misbehave v3 noeditor",
  "send qzkorvel#2 direct_clear",
  "box v3 = vst~ BIG",
  "user resize editor 183 852",
  "send qzkorvel#2 int 3",
  "mouse -388 1687",
  "app foreground",
  "send qzkorvel#1 open 9223372036854775807 \"\"",
  "send qzkorvel#2 direct_state 32767 -9223372036854775808 761 70 2",
  "box v4 = vst~ TINY",
  "send qzkorvel#2 state -192 -1010 2147483647",
  "window -12345 -100 937 589 260",
  "app foreground",
  "box qzkorvel v4",
  "window -37 656 627 2068",
  "send qzkorvel#2 open 0.5 -1e300",
  "mouse 2173 543",
  "user activate editor",
  "pass 1",
  "send qzkorvel#3 direct_pos -1123 -32769"
 ],
 "patcher": {
  "boxes": [
   {
    "box": {
     "id": "obj-1",
     "maxclass": "newobj",
     "text": "vst~ BIG",
     "varname": "v1"
    }
   },
   {
    "box": {
     "id": "obj-2",
     "maxclass": "newobj",
     "text": "vst~ 123",
     "varname": "v2"
    }
   },
   {
    "box": {
     "id": "obj-3",
     "maxclass": "newobj",
     "text": "qzkorvel v2"
    }
   },
   {
    "box": {
     "id": "obj-4",
     "maxclass": "newobj",
     "text": "route pluginname savedpluginname delay state willchange"
    }
   },
   {
    "box": {
     "id": "obj-5",
     "maxclass": "newobj",
     "text": "fuzzscript"
    }
   },
   {
    "box": {
     "id": "obj-6",
     "maxclass": "message",
     "text": "open"
    }
   },
   {
    "box": {
     "id": "obj-7",
     "maxclass": "message",
     "text": "retype v2"
    }
   },
   {
    "box": {
     "id": "obj-8",
     "maxclass": "message",
     "text": "open"
    }
   }
  ],
  "lines": [
   {
    "patchline": {
     "destination": [
      "obj-4",
      0
     ],
     "source": [
      "obj-3",
      0
     ]
    }
   },
   {
    "patchline": {
     "destination": [
      "obj-6",
      0
     ],
     "source": [
      "obj-4",
      1
     ]
    }
   },
   {
    "patchline": {
     "destination": [
      "obj-3",
      0
     ],
     "source": [
      "obj-6",
      0
     ]
    }
   },
   {
    "patchline": {
     "destination": [
      "obj-7",
      0
     ],
     "source": [
      "obj-4",
      2
     ]
    }
   },
   {
    "patchline": {
     "destination": [
      "obj-5",
      0
     ],
     "source": [
      "obj-7",
      0
     ]
    }
   },
   {
    "patchline": {
     "destination": [
      "obj-8",
      0
     ],
     "source": [
      "obj-4",
      0
     ]
    }
   },
   {
    "patchline": {
     "destination": [
      "obj-3",
      0
     ],
     "source": [
      "obj-8",
      0
     ]
    }
   }
  ]
 }
}