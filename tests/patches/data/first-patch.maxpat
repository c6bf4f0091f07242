{"patcher": {"fileversion": 1, "rect": [100.0, 100.0, 640.0, 360.0],
 "boxes": [
  {"box": {"id": "obj-1", "maxclass": "newobj", "numinlets": 2, "numoutlets": 8, "patching_rect": [30.0, 30.0, 100.0, 22.0], "text": "vst~ 2 2", "varname": "synth"}},
  {"box": {"id": "obj-2", "maxclass": "newobj", "numinlets": 1, "numoutlets": 1, "patching_rect": [30.0, 80.0, 100.0, 22.0], "text": "qzkorvel synth", "varname": "editor"}},
  {"box": {"id": "obj-3", "maxclass": "message", "numinlets": 2, "numoutlets": 1, "patching_rect": [30.0, 130.0, 40.0, 22.0], "text": "open"}},
  {"box": {"id": "obj-4", "maxclass": "message", "numinlets": 2, "numoutlets": 1, "patching_rect": [80.0, 130.0, 42.0, 22.0], "text": "close"}},
  {"box": {"id": "obj-5", "maxclass": "newobj", "numinlets": 1, "numoutlets": 0, "patching_rect": [30.0, 180.0, 90.0, 22.0], "text": "print qzkorvel"}},
  {"box": {"id": "obj-6", "maxclass": "newobj", "numinlets": 1, "numoutlets": 4, "patching_rect": [200.0, 30.0, 70.0, 22.0], "text": "autopattr"}}
 ],
 "lines": [
  {"patchline": {"source": ["obj-3", 0], "destination": ["obj-2", 0]}},
  {"patchline": {"source": ["obj-4", 0], "destination": ["obj-2", 0]}},
  {"patchline": {"source": ["obj-2", 0], "destination": ["obj-5", 0]}},
  {"patchline": {"source": ["obj-6", 0], "destination": ["obj-2", 0]}}
 ]}}
