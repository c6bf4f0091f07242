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
					"text": "vst~ SOMEPLUGIN",
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
					"numoutlets": 3,
					"patching_rect": [
						250,
						30,
						160.0,
						22.0
					],
					"text": "pattr layout @bindto editor",
					"varname": "layout"
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
					"text": "print layout"
				}
			},
			{
				"box": {
					"id": "obj-5",
					"maxclass": "newobj",
					"numinlets": 1,
					"numoutlets": 2,
					"patching_rect": [
						250,
						170,
						160.0,
						22.0
					],
					"text": "pattrstorage presets @savemode 0",
					"varname": "presets"
				}
			},
			{
				"box": {
					"id": "obj-6",
					"maxclass": "newobj",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						250,
						220,
						160.0,
						22.0
					],
					"text": "print presets"
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
						"obj-6",
						0
					],
					"source": [
						"obj-5",
						1
					]
				}
			}
		]
	}
}
