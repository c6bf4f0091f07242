{
 "fuzzsteps": [
  "send qzkorvel#1 state -328 539 1025 1510 1",
  "user activate editor",
  "send qzkorvel#3 stayontop 1",
  "window -176 2718 265 1093",
  "send qzkorvel#3 state -67 40000 994 1877 9223372036854775807",
  "send qzkorvel#2 clear",
  "pass 2",
  "load v1 123",
  "send qzkorvel#2 direct_open \"\" -1e300",
  "pass 2",
  "send qzkorvel#1 int 3",
  "send qzkorvel#2 state -32769 1073 875 1838 0",
  "misbehave v1 normal",
  "pass 3",
  "pass 3",
  "send qzkorvel#1 bang",
  "send qzkorvel#1 clear 629",
  "window 2310 0 487 1122",
  "delete qzkorvel#2",
  "send qzkorvel#1 state 3157 -435 92 1772 2826",
  "send qzkorvel#3 open",
  "send qzkorvel#1 notify"
 ],
 "patcher": {
  "boxes": [
   {
    "box": {
     "id": "obj-1",
     "maxclass": "newobj",
     "text": "vst~",
     "varname": "v1"
    }
   },
   {
    "box": {
     "id": "obj-2",
     "maxclass": "newobj",
     "text": "qzkorvel v1"
    }
   },
   {
    "box": {
     "id": "obj-3",
     "maxclass": "newobj",
     "text": "route pluginname savedpluginname delay state willchange"
    }
   },
   {
    "box": {
     "id": "obj-4",
     "maxclass": "newobj",
     "text": "qzkorvel v1 @debug 1"
    }
   },
   {
    "box": {
     "id": "obj-5",
     "maxclass": "newobj",
     "text": "route pluginname savedpluginname delay state willchange"
    }
   },
   {
    "box": {
     "id": "obj-6",
     "maxclass": "newobj",
     "text": "fuzzscript"
    }
   },
   {
    "box": {
     "id": "obj-7",
     "maxclass": "message",
     "text": "hide"
    }
   },
   {
    "box": {
     "id": "obj-8",
     "maxclass": "message",
     "text": "direct_clear"
    }
   },
   {
    "box": {
     "id": "obj-9",
     "maxclass": "message",
     "text": "retype v1"
    }
   }
  ],
  "lines": [
   {
    "patchline": {
     "destination": [
      "obj-3",
      0
     ],
     "source": [
      "obj-2",
      0
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
      "obj-4",
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
      "obj-3",
      2
     ]
    }
   },
   {
    "patchline": {
     "destination": [
      "obj-4",
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
      "obj-5",
      4
     ]
    }
   },
   {
    "patchline": {
     "destination": [
      "obj-2",
      0
     ],
     "source": [
      "obj-8",
      0
     ]
    }
   },
   {
    "patchline": {
     "destination": [
      "obj-9",
      0
     ],
     "source": [
      "obj-5",
      5
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
      "obj-9",
      0
     ]
    }
   }
  ]
 }
}