{
	"patcher": {
		"fileversion": 1,
		"rect": [
			100.0,
			100.0,
			640.0,
			480.0
		],
		"boxes": [
			{
				"box": {
					"id": "obj-1",
					"maxclass": "newobj",
					"numinlets": 2,
					"numoutlets": 8,
					"patching_rect": [
						30,
						30,
						160.0,
						22.0
					],
					"text": "vst~ \"C:/VST/My Synth.dll\"",
					"varname": "synth"
				}
			},
			{
				"box": {
					"id": "obj-2",
					"maxclass": "newobj",
					"numinlets": 1,
					"numoutlets": 1,
					"patching_rect": [
						30,
						80,
						160.0,
						22.0
					],
					"text": "qzkorvel synth",
					"varname": "editor"
				}
			},
			{
				"box": {
					"id": "obj-3",
					"maxclass": "newobj",
					"numinlets": 1,
					"numoutlets": 4,
					"patching_rect": [
						250,
						30,
						160.0,
						22.0
					],
					"text": "autopattr @autoname 1",
					"restore": {
						"editor": [
							300,
							200,
							640,
							480,
							1
						]
					}
				}
			},
			{
				"box": {
					"id": "obj-4",
					"maxclass": "newobj",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						250,
						120,
						160.0,
						22.0
					],
					"text": "print included"
				}
			},
			{
				"box": {
					"id": "obj-5",
					"maxclass": "newobj",
					"numinlets": 1,
					"numoutlets": 2,
					"patching_rect": [
						400.0,
						30.0,
						160.0,
						22.0
					],
					"text": "pattrstorage presets",
					"varname": "presets"
				}
			}
		],
		"lines": [
			{
				"patchline": {
					"destination": [
						"obj-2",
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
						"obj-4",
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
						"obj-3",
						3
					]
				}
			},
			{
				"patchline": {
					"destination": [
						"obj-1",
						0
					],
					"source": [
						"obj-3",
						1
					]
				}
			}
		]
	}
}
