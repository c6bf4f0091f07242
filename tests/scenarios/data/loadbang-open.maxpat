{
	"patcher" : {
		"fileversion" : 1,
		"rect" : [ 100.0, 100.0, 640.0, 480.0 ],
		"boxes" : [
			{
				"box" : {
					"id" : "obj-1",
					"maxclass" : "newobj",
					"numinlets" : 2,
					"numoutlets" : 8,
					"patching_rect" : [ 300.0, 30.0, 160.0, 22.0 ],
					"text" : "vst~ 2 2 MyPlugin",
					"varname" : "synth"
				}
			},
			{
				"box" : {
					"id" : "obj-2",
					"maxclass" : "newobj",
					"numinlets" : 1,
					"numoutlets" : 1,
					"patching_rect" : [ 30.0, 30.0, 160.0, 22.0 ],
					"text" : "loadbang"
				}
			},
			{
				"box" : {
					"id" : "obj-3",
					"maxclass" : "newobj",
					"numinlets" : 1,
					"numoutlets" : 2,
					"patching_rect" : [ 30.0, 70.0, 160.0, 22.0 ],
					"text" : "t b b"
				}
			},
			{
				"box" : {
					"id" : "obj-4",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"patching_rect" : [ 30.0, 110.0, 160.0, 22.0 ],
					"text" : "open"
				}
			},
			{
				"box" : {
					"id" : "obj-5",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"patching_rect" : [ 120.0, 110.0, 160.0, 22.0 ],
					"text" : "pos 200 150"
				}
			},
			{
				"box" : {
					"id" : "obj-6",
					"maxclass" : "newobj",
					"numinlets" : 1,
					"numoutlets" : 1,
					"patching_rect" : [ 30.0, 150.0, 160.0, 22.0 ],
					"text" : "qzkorvel synth"
				}
			}
		],
		"lines" : [
			{
				"patchline" : {
					"destination" : [ "obj-3", 0 ],
					"source" : [ "obj-2", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-4", 0 ],
					"source" : [ "obj-3", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-5", 0 ],
					"source" : [ "obj-3", 1 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-6", 0 ],
					"source" : [ "obj-4", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-6", 0 ],
					"source" : [ "obj-5", 0 ]
				}
			}
		]
	}
}
