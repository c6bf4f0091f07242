{
 "fuzzsteps": [
  "send qzkorvel#1 stayontop -1",
  "load v3 BIG",
  "app foreground",
  "user resize editor 2000 951",
  "delete v3",
  "send qzkorvel#1 show 2222",
  "pass 1",
  "user close editor",
  "send qzkorvel#2 notify",
  "unload v2",
  "pass 3",
  "pass 3",
  "pass 2",
  "pass 2",
  "pass 2"
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
     "text": "vst~ SYNTH",
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
     "text": "qzkorvel v2"
    }
   },
   {
    "box": {
     "id": "obj-6",
     "maxclass": "newobj",
     "text": "route pluginname savedpluginname delay state willchange"
    }
   },
   {
    "box": {
     "id": "obj-7",
     "maxclass": "newobj",
     "text": "fuzzscript"
    }
   },
   {
    "box": {
     "id": "obj-8",
     "maxclass": "message",
     "text": "hide"
    }
   },
   {
    "box": {
     "id": "obj-9",
     "maxclass": "message",
     "text": "direct_clear"
    }
   },
   {
    "box": {
     "id": "obj-10",
     "maxclass": "message",
     "text": "open 100 200"
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
      "obj-5",
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
      "obj-4",
      4
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
      "obj-9",
      0
     ]
    }
   },
   {
    "patchline": {
     "destination": [
      "obj-10",
      0
     ],
     "source": [
      "obj-6",
      1
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
      "obj-10",
      0
     ]
    }
   }
  ]
 }
}